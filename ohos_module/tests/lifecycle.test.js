'use strict';
// How a process that loaded the module ends: on its own once idle, through
// process.exit with the worker started, and after the bound environment was
// torn down.
const test = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const path = require('node:path');

const CHILD = path.join(__dirname, 'fixtures', 'lifecycle_child.js');

function runChild(scenario) {
  const child = spawnSync(process.execPath, [CHILD, scenario], { encoding: 'utf8', timeout: 15000 });
  return { status: child.status, signal: child.signal, stdout: child.stdout, stderr: child.stderr };
}

test('an idle process runs its last posted task and exits by itself', () => {
  const child = runChild('idle');
  assert.equal(child.signal, null, 'ended by the timeout or a signal');
  assert.equal(child.status, 0, child.stderr);
  assert.equal(child.stdout, 'last task ran\n');
});

test('process.exit with a started worker ends cleanly', () => {
  const child = runChild('exit');
  assert.equal(child.signal, null, child.stderr);
  assert.equal(child.status, 0, child.stderr);
  assert.doesNotMatch(child.stderr, /terminate/);
});

test('after the bound environment is torn down, posts are dropped without a crash', () => {
  const child = runChild('environment-gone');
  assert.equal(child.signal, null, child.stderr);
  assert.equal(child.status, 0, child.stderr);
  assert.deepEqual(child.stdout.split('\n').filter(Boolean), ['{"bound":false,"addonEnv":false}', 'ran=false']);
  assert.match(child.stderr, /canvasport_compose_request_vsync_frame: no JS environment, frame dropped/);
});
