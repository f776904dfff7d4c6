'use strict';
// Shared by the canvasport tests: loading the module and the test addon,
// capturing the module's log lines, waiting for callbacks.
const assert = require('node:assert/strict');
// Not the global ones, which some tests replace.
const { setTimeout, clearTimeout } = require('node:timers');

const MODULE_PATH = process.env.CANVASPORT_MODULE;
const ADDON_PATH = process.env.CANVASPORT_TEST_ADDON;
assert.ok(MODULE_PATH && ADDON_PATH, 'CANVASPORT_MODULE and CANVASPORT_TEST_ADDON must be set');

// Loads the module the way the runtime does (its init binds this
// environment), then the addon that plays the rendering layer.
function loadModule() {
  const module = { exports: {} };
  process.dlopen(module, MODULE_PATH);
  return module.exports;
}

function loadAddon() {
  return require(ADDON_PATH);
}

function setup() {
  const canvasport = loadModule();
  const addon = loadAddon();
  addon.attach(MODULE_PATH, false);
  return { canvasport, addon };
}

// Runs fn with standard error captured; returns { result, text }.
function captureStderr(addon, fn) {
  addon.startCapture();
  let text;
  try {
    return { result: fn(), text: (text = addon.stopCapture()) };
  } finally {
    if (text === undefined) addon.stopCapture();
  }
}

// As captureStderr, for an async fn.
async function captureStderrAsync(addon, fn) {
  addon.startCapture();
  let text;
  try {
    const result = await fn();
    return { result, text: (text = addon.stopCapture()) };
  } finally {
    if (text === undefined) addon.stopCapture();
  }
}

// "L/TAG: text" lines of the log stand-in.
function logLines(text) {
  return text.split('\n').filter(Boolean);
}

// Resolves with the argument of the first call of the callback handed to
// post; the pending timer also keeps the event loop alive meanwhile.
function nextCall(post, timeoutMs = 5000) {
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`no callback within ${timeoutMs} ms`)), timeoutMs);
    post((value) => {
      clearTimeout(timer);
      resolve(value);
    });
  });
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

module.exports = {
  MODULE_PATH,
  ADDON_PATH,
  loadModule,
  loadAddon,
  setup,
  captureStderr,
  captureStderrAsync,
  logLines,
  nextCall,
  sleep,
};
