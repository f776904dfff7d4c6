'use strict';
// Posting callbacks onto the JS thread: immediately, through setTimeout,
// through an async work, from the JS thread and from native threads.
const test = require('node:test');
const assert = require('node:assert/strict');
const { setup, captureStderrAsync, logLines, nextCall, sleep } = require('./helpers');

const { addon } = setup();

// Replaces the global setTimeout for the duration of fn, recording its calls.
async function withSetTimeout(replacement, fn) {
  const original = globalThis.setTimeout;
  const calls = [];
  globalThis.setTimeout = typeof replacement === 'function'
    ? (callback, delay, ...rest) => {
      calls.push({ callback, delay });
      return replacement(original, callback, delay, ...rest);
    }
    : replacement;
  try {
    await fn(calls);
  } finally {
    globalThis.setTimeout = original;
  }
}

const passThrough = (original, callback, delay) => original(callback, delay);

for (const fromThread of [false, true]) {
  const where = fromThread ? 'a native thread' : 'the JS thread';

  test(`posted from ${where}: delay 0 runs on the JS thread after the posting call returned`, async () => {
    let ranDuringPost = false;
    const report = await nextCall((done) => {
      addon.postTask(0, (r) => { ranDuringPost = !r.afterPost; done(r); }, fromThread);
    });
    assert.equal(ranDuringPost, false);
    assert.deepEqual(report, { onJsThread: true, afterPost: true });
  });

  test(`posted from ${where}: delay 16.5 runs through setTimeout with that delay`, async () => {
    await withSetTimeout(passThrough, async (calls) => {
      const report = await nextCall((done) => addon.postTask(16.5, done, fromThread));
      assert.equal(report.onJsThread, true);
      const timer = calls.find((c) => c.delay === 16.5);
      assert.ok(timer, `setTimeout calls: ${JSON.stringify(calls.map((c) => c.delay))}`);
      assert.equal(typeof timer.callback, 'function');
    });
  });

  test(`posted from ${where}: async work runs its callback on the JS thread`, async () => {
    const report = await nextCall((done) => addon.postWork(done, fromThread));
    assert.deepEqual(report, { onJsThread: true, afterPost: true });
  });
}

test('a delay that is not above 0 runs at once, without a timer', async () => {
  for (const delay of [-1, -0.5, NaN]) {
    await withSetTimeout(passThrough, async (calls) => {
      const report = await nextCall((done) => addon.postTask(delay, done));
      assert.equal(report.onJsThread, true);
      assert.deepEqual(calls.filter((c) => c.callback.name === 'canvas_port_timerout_callback'), []);
    });
  }
});

test('posts from the JS thread and native threads run once each, in posting order', async () => {
  const seen = [];
  await new Promise((resolve) => {
    const keepAlive = setTimeout(() => {}, 5000);
    for (let i = 0; i < 50; i++) {
      addon.postTask(0, () => {
        seen.push(i);
        if (seen.length === 50) { clearTimeout(keepAlive); resolve(); }
      }, i % 2 === 1);
    }
  });
  assert.deepEqual(seen, Array.from({ length: 50 }, (_, i) => i));
});

test('null callbacks are ignored', async () => {
  addon.postNullCallbacks();
  await sleep(40);
  assert.equal(addon.strayRuns(), 0);
});

test('a replaced setTimeout that calls the timer twice runs the callback once', async () => {
  await withSetTimeout((original, callback, delay) => {
    original(callback, delay);
    original(callback, delay + 5);
  }, async () => {
    let runs = 0;
    await nextCall((done) => addon.postTask(5, () => { runs++; done(); }));
    await sleep(30);
    assert.equal(runs, 1);
  });
});

test('without a setTimeout function a delayed task is dropped with an error line', async () => {
  let ran = false;
  await withSetTimeout(42, async () => {
    const { text } = await captureStderrAsync(addon, async () => {
      addon.postTask(5, () => { ran = true; });
      await new Promise((resolve) => setImmediate(resolve));
      await sleep(30);
    });
    assert.deepEqual(logLines(text), ['E/Glintport: canvasport::ComposeDispatcher setTimeout is not a function']);
  });
  assert.equal(ran, false);
});
