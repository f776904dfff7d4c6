'use strict';
// Runs the canvasport benchmark: node run.js <libcanvasport.so> <bench addon>
// Prints medians and 99th percentiles; not a test, nothing is asserted.
const [modulePath, addonPath] = process.argv.slice(2);
if (!modulePath || !addonPath) {
  console.error('usage: node run.js <libcanvasport.so> <canvasport_bench.node>');
  process.exit(2);
}

const canvasport = { exports: {} };
process.dlopen(canvasport, modulePath);
const bench = require(addonPath);
bench.attach(modulePath);

const POSTS = 10000;
// The two paths alternate in short blocks: whether the JS thread is still awake
// when the next post arrives (sub-microsecond) or has to be woken (tens of
// microseconds) drifts during a run, and short blocks let it hit both alike.
const ROUNDS = 200;
const TOUCH_EVENTS = 10000;

function percentile(sorted, p) {
  return sorted[Math.min(sorted.length - 1, Math.ceil((p / 100) * sorted.length) - 1)];
}

function summary(samples) {
  const sorted = Float64Array.from(samples).sort();
  return { median: percentile(sorted, 50), p99: percentile(sorted, 99) };
}

const us = (ns) => `${(ns / 1000).toFixed(2)} us`;

async function main() {
  const plain = [];
  const via = [];
  const roundRatios = [];
  await bench.roundTrip(false, 200); // warm-up
  await bench.roundTrip(true, 200);
  for (let round = 0; round < ROUNDS; round++) {
    const p = await bench.roundTrip(false, POSTS / ROUNDS);
    const c = await bench.roundTrip(true, POSTS / ROUNDS);
    plain.push(...p);
    via.push(...c);
    roundRatios.push(summary(c).median / summary(p).median);
  }
  const p = summary(plain);
  const c = summary(via);
  console.log(`dispatch round trip, native thread -> JS thread, ${POSTS} posts each`);
  console.log(`  plain napi_threadsafe_function:  median ${us(p.median)}  p99 ${us(p.p99)}`);
  console.log(`  canvasport async_task (delay 0): median ${us(c.median)}  p99 ${us(c.p99)}`);
  console.log(`  ratio canvasport/plain:          median ${(c.median / p.median).toFixed(2)}x  p99 ${(c.p99 / p.p99).toFixed(2)}x  (target <= 1.5x)`);
  console.log(`  median of per-block ratios:      ${summary(roundRatios).median.toFixed(2)}x  (blocks of ${POSTS / ROUNDS} posts)`);

  const point = (i) => ({ x: 10 + i, y: 20 + i, type: 2, id: i });
  const event = {
    type: 2,
    timestamp: 5_000_000_000,
    touches: Array.from({ length: 10 }, (_, i) => point(i)),
    getHistoricalPoints: () => Array.from({ length: 10 }, (_, i) => ({
      timestamp: 4_900_000_000 + i * 8_000_000,
      touchObject: point(i),
    })),
  };
  bench.touchCreate(event, 500); // warm-up
  const t = summary(bench.touchCreate(event, TOUCH_EVENTS));
  console.log(`touch event creation, 10 touches + 10 historical points, ${TOUCH_EVENTS} events`);
  console.log(`  per event: median ${us(t.median)}  p99 ${us(t.p99)}`);
}

main();
