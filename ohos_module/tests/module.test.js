'use strict';
// Registration, module init, environment binding, logging and exports.
const test = require('node:test');
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const { MODULE_PATH, loadAddon, captureStderr, logLines } = require('./helpers');

const addon = loadAddon();
let canvasport;

test('loading runs the module init: log line, binding, "bridgeAdd"', () => {
  const { text } = captureStderr(addon, () => {
    const module = { exports: {} };
    process.dlopen(module, MODULE_PATH);
    canvasport = module.exports;
  });
  assert.match(text, /^D\/QuillTag:  Canvasport InitAAA thread_id=\d+\n$/);
  addon.attach(MODULE_PATH, false);
  assert.deepEqual(addon.envState(), { bound: true, addonEnv: false });
});

test('"bridgeAdd" adds two numbers', () => {
  assert.equal(typeof canvasport.bridgeAdd, 'function');
  assert.equal(canvasport.bridgeAdd(2, 3.5), 5.5);
  assert.equal(canvasport.bridgeAdd(-1, 1), 0);
  assert.ok(Number.isNaN(canvasport.bridgeAdd(2)));
  assert.ok(Number.isNaN(canvasport.bridgeAdd('2', 3)));
});

test('binding: a null environment changes nothing, another one replaces the current', () => {
  addon.bindNullEnv();
  assert.deepEqual(addon.envState(), { bound: true, addonEnv: false });
  addon.bindAddonEnv();
  assert.deepEqual(addon.envState(), { bound: true, addonEnv: true });
});

test('log exports write the message unchanged at their level with tag "Glintport"', () => {
  const cases = [
    ['D', 'debug text', 'D/Glintport: debug text'],
    ['I', 'info text', 'I/Glintport: info text'],
    ['W', 'warn text', 'W/Glintport: warn text'],
    ['E', '100% done %s %d %n', 'E/Glintport: 100% done %s %d %n'],
    ['E', '%{public}s', 'E/Glintport: %{public}s'],
  ];
  const { text } = captureStderr(addon, () => {
    for (const [level, message] of cases) addon.log(level, message);
  });
  assert.deepEqual(logLines(text), cases.map((c) => c[2]));
});

test('only the module interface is exported from the library', () => {
  const symbols = execFileSync('nm', ['-D', '--defined-only', MODULE_PATH], { encoding: 'utf8' })
    .split('\n')
    .filter(Boolean)
    .map((line) => line.split(' ').pop())
    .sort();
  assert.deepEqual(symbols, [
    'RegisterCanvasportModule',
    'canvasport_compose_coroutines_dispatcher_async_task',
    'canvasport_compose_coroutines_dispatcher_async_work',
    'canvasport_compose_coroutines_dispatcher_bind_jsenv',
    'canvasport_compose_get_screen_density',
    'canvasport_compose_logD',
    'canvasport_compose_logE',
    'canvasport_compose_logI',
    'canvasport_compose_logW',
    'canvasport_compose_request_vsync_frame',
    'canvasport_create_native_touch_event_from_jsevent',
    'canvasport_delete_native_touch_event',
    'canvasport_gcd_async',
    'canvasport_get_current_napi_env',
    'canvasport_napi_clipboard_get_text',
    'canvasport_napi_clipboard_has_text',
    'canvasport_napi_clipboard_set_text',
    'canvasport_napi_get_system_theme',
    'canvasport_napi_open_uri',
    'canvasport_native_touch_get_historycal_point_at_index',
    'canvasport_native_touch_get_touch_object_at_index',
    'canvasport_performance_sync_trace_end',
    'canvasport_performance_sync_trace_start',
    'canvasport_performance_trace_end',
    'canvasport_performance_trace_start',
    'canvasport_set_platform_provider',
    'enableRuntimeLogs',
    'kotlin_native_plume_Throw',
    'kotlin_native_plume_hook',
  ].sort());
});
