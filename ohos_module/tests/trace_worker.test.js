'use strict';
// Trace markers, the background worker and the exports with fixed answers.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { setup, captureStderr, logLines } = require('./helpers');

const { addon } = setup();

function traceLines(fn) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'canvasport-trace-'));
  const marker = path.join(dir, 'trace_marker');
  process.env.CANVASPORT_TRACE_MARKER = marker;
  try {
    fn();
    return fs.existsSync(marker) ? fs.readFileSync(marker, 'utf8').split('\n').filter(Boolean) : [];
  } finally {
    delete process.env.CANVASPORT_TRACE_MARKER;
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

test('asynchronous trace markers: name by type, task id narrowed to 32 bits', () => {
  const pid = process.pid;
  const cases = [
    [1000, 1, 'InitCanvas', 1],
    [1001, 1, 'ComposeDrawFrame', 1],
    [1002, 7, 'DirectContextFlush', 7],
    [1003, 1, 'EglFlush', 1],
    [1004, 1, 'VsyncFrame', 1],
    [999, 1, 'unknown', 1],
    [1005, 1, 'unknown', 1],
    [-1000, 1, 'unknown', 1],
    [1002, 2n ** 32n + 2n, 'DirectContextFlush', 2],
    [1002, -1n, 'DirectContextFlush', -1],
  ];
  const lines = traceLines(() => {
    for (const [type, id] of cases) {
      addon.trace('start', type, id);
      addon.trace('end', type, id);
    }
  });
  assert.deepEqual(lines, cases.flatMap(([, , name, id]) => [`S|${pid}|${name}|${id}`, `F|${pid}|${name}|${id}`]));
});

test('synchronous trace markers', () => {
  const pid = process.pid;
  assert.deepEqual(traceLines(() => {
    addon.trace('syncStart', 'drawFrame');
    addon.trace('syncEnd');
    addon.trace('syncStart', null);
    addon.trace('syncEnd');
  }), [`B|${pid}|drawFrame`, `E|${pid}`, `B|${pid}|`, `E|${pid}`]);
});

test('worker: tasks from three threads run one at a time, in order, on one worker thread', () => {
  assert.deepEqual(addon.workerRun(false), { order: ['A', 'B', 'C'], threads: 1, maxRunning: 1, onSubmitter: false });
});

test('worker: a throwing task is logged and an empty one skipped; later tasks still run', () => {
  const { result, text } = captureStderr(addon, () => addon.workerRun(true));
  assert.deepEqual(result.order, ['A', 'B', 'C']);
  assert.deepEqual(logLines(text), [
    'E/Glintport: canvasport_gcd_async: task threw: task failure',
    'E/Glintport: canvasport_gcd_async: task threw an unknown exception',
  ]);
});

test('fixed answers: density 3.25, runtime logs off, hooks do nothing', () => {
  assert.deepEqual(addon.fixed(), { density: 3.25, runtimeLogs: false });
});
