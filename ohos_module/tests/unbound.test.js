'use strict';
// The module loaded but not yet initialised by the runtime: no environment
// is bound until the rendering layer's binding call.
const test = require('node:test');
const assert = require('node:assert/strict');
const { MODULE_PATH, loadAddon, captureStderr, captureStderrAsync, logLines, nextCall, sleep } = require('./helpers');

// The addon opens the library itself; the runtime never initialises it in
// this process (and nothing else may be loaded by the runtime afterwards).
const addon = loadAddon();
addon.attach(MODULE_PATH, true);

test('before binding: posts do nothing, services report the missing environment', async () => {
  assert.deepEqual(addon.envState(), { bound: false, addonEnv: false });
  addon.postStrayTasks();
  const { result, text } = captureStderr(addon, () => ({
    theme: addon.getSystemTheme(),
    text: addon.clipboardGetText(),
    has: addon.clipboardHasText(),
    touch: addon.convertTouchEvent({ type: 1, timestamp: 5e6, touches: [{ x: 1 }] }),
  }));
  assert.deepEqual(
    { theme: result.theme, text: result.text, has: result.has },
    { theme: 0, text: null, has: false },
  );
  // Without an environment the event cannot be read: type -9999, nothing else.
  const raw = result.touch.raw;
  assert.equal(raw.readInt32LE(4), -9999);
  assert.equal(raw.readBigInt64LE(8), 0n);
  assert.equal(raw.readInt32LE(16), 0);
  assert.deepEqual(logLines(text), [
    'E/Glintport: canvasport_napi_get_system_theme: napi_env is null',
    'E/Glintport: canvasport_napi_clipboard_get_text: napi_env is null',
    'E/Glintport: canvasport_napi_clipboard_has_text: napi_env is null',
  ]);
  await sleep(50);
  assert.equal(addon.strayRuns(), 0);
});

test('a vsync frame that arrives with no environment is dropped', async () => {
  let called = false;
  const { text } = await captureStderrAsync(addon, async () => {
    addon.requestVsync(() => (called = true));
    await sleep(60);
  });
  assert.equal(called, false);
  assert.deepEqual(logLines(text), [
    'E/Glintport: canvasport_compose_request_vsync_frame: no JS environment, frame dropped',
  ]);
});

test('after binding the environment is the one given, and posts run', async () => {
  addon.bindAddonEnv();
  assert.deepEqual(addon.envState(), { bound: true, addonEnv: true });
  const report = await nextCall((done) => addon.postTask(0, done, true));
  assert.equal(report.onJsThread, true);
  assert.equal(addon.strayRuns(), 0);
});
