'use strict';
// One-shot vsync frame requests: each callback runs once, on the JS thread,
// with the timestamp of its frame (60 Hz ticks of the monotonic clock).
const test = require('node:test');
const assert = require('node:assert/strict');
const { setup, nextCall, sleep } = require('./helpers');

const { addon } = setup();
const FRAME_NS = 16666667n;

test('two requests before the next frame each get their own callback with the frame timestamp', async () => {
  const before = addon.monotonicNowNs();
  const counts = [0, 0];
  const frames = await Promise.all([0, 1].map((i) => nextCall((done) => addon.requestVsync((report) => {
    counts[i]++;
    done({ ...report, seenAt: addon.monotonicNowNs() });
  }))));
  await sleep(50); // room for a second, wrong delivery
  assert.deepEqual(counts, [1, 1]);
  for (const frame of frames) {
    assert.equal(frame.onJsThread, true);
    assert.equal(frame.afterPost, true);
    assert.equal(frame.timestamp % FRAME_NS, 0n, 'a 60 Hz tick');
    assert.ok(frame.timestamp > before && frame.timestamp <= frame.seenAt);
    assert.ok(frame.timestamp - before <= 2n * FRAME_NS, 'the next tick');
  }
});

test('a request made after a frame was delivered gets a later frame', async () => {
  const first = await nextCall((done) => addon.requestVsync(done));
  const second = await nextCall((done) => addon.requestVsync(done));
  assert.ok(second.timestamp > first.timestamp);
  assert.equal((second.timestamp - first.timestamp) % FRAME_NS, 0n);
});
