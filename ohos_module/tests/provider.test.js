'use strict';
// The services of the app's platform provider: URI opening, system theme
// and clipboard, with good, missing, broken and throwing providers.
const test = require('node:test');
const assert = require('node:assert/strict');
const { setup, captureStderr, logLines } = require('./helpers');

const { canvasport, addon } = setup();

const THEME = 'canvasport_napi_get_system_theme';
const URI = 'canvasport_napi_open_uri';
const CLIP = 'canvasport_napi_clipboard';

// One row per service: how to call it, its neutral result, the method it
// looks up and the prefix of its log lines.
const services = [
  { name: 'openUri', call: () => addon.openUri('app://x'), neutral: undefined, method: '__global_openUri', prefix: URI },
  { name: 'theme', call: () => addon.getSystemTheme(), neutral: 0, method: '__global_getSystemTheme', prefix: THEME },
  { name: 'setText', call: () => addon.clipboardSetText('t'), neutral: undefined, method: '__global_clipboard_setText', prefix: CLIP },
  { name: 'getText', call: () => addon.clipboardGetText(), neutral: null, method: '__global_clipboard_getText', prefix: CLIP },
  { name: 'hasText', call: () => addon.clipboardHasText(), neutral: false, method: '__global_clipboard_hasText', prefix: CLIP },
];

// A provider that records its calls and the receiver of each.
function goodProvider() {
  const calls = [];
  const provider = {
    __global_openUri(uri) { calls.push(['openUri', uri, this === provider]); },
    __global_getSystemTheme() { calls.push(['theme', this === provider]); return 2; },
    __global_clipboard_setText(text) { calls.push(['setText', text, this === provider]); },
    __global_clipboard_getText() { calls.push(['getText', this === provider]); return 'hello'; },
    __global_clipboard_hasText() { calls.push(['hasText', this === provider]); return true; },
  };
  return { provider, calls };
}

function run(service) {
  return captureStderr(addon, service.call);
}

test('a good provider: each method is called on the provider and its result passed on', () => {
  const { provider, calls } = goodProvider();
  addon.setProvider(provider);
  const results = {};
  let text = '';
  for (const service of services) {
    const out = run(service);
    results[service.name] = out.result;
    text += out.text;
  }
  assert.equal(text, '');
  assert.deepEqual(results, { openUri: undefined, theme: 2, setText: undefined, getText: 'hello', hasText: true });
  assert.deepEqual(calls, [
    ['openUri', 'app://x', true],
    ['theme', true],
    ['setText', 't', true],
    ['getText', true],
    ['hasText', true],
  ]);
});

const broken = [
  {
    what: 'no provider',
    provider: null,
    lines: (s) => [`E/Glintport: ${s.prefix}: platform provider is null`],
  },
  {
    what: 'a non-function property',
    provider: Object.fromEntries(services.map((s) => [s.method, 'not callable'])),
    lines: (s) => [`E/Glintport: ${s.prefix}: ${s.method} is not a function`],
  },
  {
    what: 'a throwing getter',
    provider: Object.defineProperties({}, Object.fromEntries(services.map((s) => [s.method, {
      get() { throw new Error('getter'); },
    }]))),
    lines: (s) => [`E/Glintport: ${s.prefix}: failed to get ${s.method}`],
  },
  {
    what: 'a throwing method',
    provider: Object.fromEntries(services.map((s) => [s.method, () => { throw new Error('method'); }])),
    // The clipboard reports a failed call only through its result.
    lines: (s) => (s.prefix === CLIP ? [] : [`E/Glintport: ${s.prefix}: failed to call function`]),
  },
];

for (const { what, provider, lines } of broken) {
  test(`${what}: every service logs its failure and returns its neutral value`, () => {
    addon.setProvider(provider);
    for (const service of services) {
      const { result, text } = run(service);
      assert.deepEqual(result, service.neutral, service.name);
      assert.deepEqual(logLines(text), lines(service), service.name);
    }
    // No exception is left pending: the runtime and the services go on working.
    assert.equal(canvasport.bridgeAdd(2, 3.5), 5.5);
    addon.setProvider(goodProvider().provider);
    assert.equal(addon.getSystemTheme(), 2);
  });
}

test('results that are not of the expected type give neutral values', () => {
  const cases = [
    ['__global_getSystemTheme', '1', () => addon.getSystemTheme(), 0],
    ['__global_getSystemTheme', 7.9, () => addon.getSystemTheme(), 7],
    ['__global_clipboard_getText', undefined, () => addon.clipboardGetText(), null],
    ['__global_clipboard_getText', null, () => addon.clipboardGetText(), null],
    ['__global_clipboard_getText', 42, () => addon.clipboardGetText(), ''],
    ['__global_clipboard_getText', 'çé✓', () => addon.clipboardGetText(), 'çé✓'],
    ['__global_clipboard_hasText', 'yes', () => addon.clipboardHasText(), false],
  ];
  for (const [method, value, call, expected] of cases) {
    addon.setProvider({ [method]: () => value });
    assert.deepEqual(call(), expected, `${method} returning ${String(value)}`);
  }
});

test('clipboard text longer than the buffer is cut to 65535 bytes', () => {
  addon.setProvider({ __global_clipboard_getText: () => 'a'.repeat(70000) });
  const text = addon.clipboardGetText();
  assert.equal(text.length, 65535);
  assert.equal(text, 'a'.repeat(65535));
  addon.setProvider({ __global_clipboard_getText: () => 'short' });
  assert.equal(addon.clipboardGetText(), 'short');
});

test('null arguments: a null URI is logged, a null text does nothing; neither calls the provider', () => {
  const { provider, calls } = goodProvider();
  addon.setProvider(provider);
  const { text } = captureStderr(addon, () => {
    addon.openUri(null);
    addon.clipboardSetText(null);
  });
  assert.deepEqual(logLines(text), [`E/Glintport: ${URI}: uri is null`]);
  assert.deepEqual(calls, []);
});

test('the provider is dropped by a null provider and by every re-binding', () => {
  const dropped = [`E/Glintport: ${THEME}: platform provider is null`];
  const drops = [
    () => addon.setProvider(null),
    () => addon.bindAddonEnv(), // another environment
    () => addon.bindAddonEnv(), // the same one again
  ];
  for (const drop of drops) {
    addon.setProvider(goodProvider().provider);
    assert.equal(addon.getSystemTheme(), 2);
    drop();
    const { result, text } = captureStderr(addon, () => addon.getSystemTheme());
    assert.equal(result, 0);
    assert.deepEqual(logLines(text), dropped);
  }
});

test('a provider given with another environment than the bound one is refused', () => {
  // Bound to the addon's environment since the previous test.
  const { text } = captureStderr(addon, () => addon.setProvider(goodProvider().provider, 'module'));
  assert.deepEqual(logLines(text), [
    'E/Glintport: canvasport_set_platform_provider: napi_env is not the bound environment',
  ]);
  assert.equal(captureStderr(addon, () => addon.getSystemTheme()).result, 0);
});
