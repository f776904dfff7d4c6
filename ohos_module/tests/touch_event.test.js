'use strict';
// Conversion of touch events into the 16/32/48-byte records the renderer
// reads; the records are decoded here from their raw bytes at the agreed
// offsets.
const test = require('node:test');
const assert = require('node:assert/strict');
const { setup, captureStderr } = require('./helpers');

const { canvasport, addon } = setup();

function decodeTouch(raw) {
  assert.equal(raw.length, 16);
  return { type: raw.readInt32LE(0), id: raw.readInt32LE(4), x: raw.readFloatLE(8), y: raw.readFloatLE(12) };
}

function decodeHistorical(raw) {
  assert.equal(raw.length, 32);
  assert.equal(raw.readBigUInt64LE(0), 0n, 'the first 8 bytes stay 0');
  return { timestamp: Number(raw.readBigInt64LE(8)), touchObject: decodeTouch(raw.subarray(16)) };
}

// ELF hash of the System V ABI, over the record with its hash field at 0.
function elfHash(bytes) {
  let h = 0;
  for (const b of bytes) {
    h = ((h << 4) + b) >>> 0;
    const g = (h & 0xf0000000) >>> 0;
    if (g !== 0) h = (h ^ (g >>> 24)) >>> 0;
    h = (h & ~g) >>> 0;
  }
  return h;
}

function convert(event) {
  const record = addon.convertTouchEvent(event);
  if (record === null) return null;
  const { raw } = record;
  assert.equal(raw.length, 48);
  assert.equal(raw.readInt32LE(20), 0, 'gap after touchCount');
  assert.equal(raw.readInt32LE(36), 0, 'gap after historicalPointCount');
  const unhashed = Buffer.from(raw);
  unhashed.writeInt32LE(0, 0);
  assert.equal(raw.readUInt32LE(0), elfHash(unhashed), 'hash over the 48 bytes');
  assert.equal(raw.readBigUInt64LE(24) !== 0n, record.touchesVector);
  assert.equal(raw.readBigUInt64LE(40) !== 0n, record.historicalVector);
  assert.ok(record.outOfRangeIsNull, 'accessors give null at -1 and at the count');
  const touchCount = raw.readInt32LE(16);
  const historicalCount = raw.readInt32LE(32);
  assert.equal(record.touches.length, touchCount);
  assert.equal(record.historical.length, historicalCount);
  return {
    type: raw.readInt32LE(4),
    timestamp: Number(raw.readBigInt64LE(8)),
    touchesVector: record.touchesVector,
    historicalVector: record.historicalVector,
    touches: record.touches.map(decodeTouch),
    historical: record.historical.map(decodeHistorical),
  };
}

const point = (x, y, type, id) => ({ x, y, type, id });

test('an event with two touches and three historical points, one of them the event itself', () => {
  const history = [
    { timestamp: 4_990_000_000, touchObject: point(1, 2, 2, 0) },
    { timestamp: 5_000_999_999, touchObject: point(9, 9, 2, 0) }, // same millisecond as the event
    { timestamp: 4_995_500_000, touchObject: point(3.5, 4.25, 2, 1) },
  ];
  const event = {
    type: 2,
    timestamp: 5_000_123_456,
    touches: [point(10.5, 20.25, 2, 0), point(-3, 1e10, 2, 4294967297)],
    getHistoricalPoints() {
      assert.equal(this, event);
      return history;
    },
  };
  assert.deepEqual(convert(event), {
    type: 2,
    timestamp: 5000,
    touchesVector: true,
    historicalVector: true,
    touches: [
      { type: 2, id: 0, x: 10.5, y: 20.25 },
      { type: 2, id: 1, x: -3, y: Math.fround(1e10) },
    ],
    historical: [
      { timestamp: 4990, touchObject: { type: 2, id: 0, x: 1, y: 2 } },
      { timestamp: 4995, touchObject: { type: 2, id: 1, x: 3.5, y: 4.25 } },
    ],
  });
});

test('nanosecond timestamps become whole milliseconds', () => {
  const cases = [
    [1999999, 1],
    [2000000, 2],
    [0, 0],
    [-1, -1],
    [NaN, 0],
    [Infinity, 0],
    ['not a number', 0],
    [undefined, 0],
  ];
  for (const [nanos, millis] of cases) {
    assert.equal(convert({ timestamp: nanos }).timestamp, millis, `${String(nanos)} ns`);
  }
});

test('events without touches or history', () => {
  const cases = [
    { touches: 'not an array' },
    { touches: { length: 3, 0: point(1, 1, 1, 1) } },
    {},
    { getHistoricalPoints: 'not a function' },
    { getHistoricalPoints: () => 'not an array' },
    { getHistoricalPoints: () => [] },
  ];
  for (const event of cases) {
    const record = convert({ type: 1, timestamp: 1e6, ...event });
    assert.deepEqual(
      { type: record.type, touches: record.touches, historicalVector: record.historicalVector },
      { type: 1, touches: [], historicalVector: false },
      JSON.stringify(event),
    );
    assert.equal(record.touchesVector, true);
  }
  // History whose every sample is the event itself: a vector with no points.
  const onlySelf = convert({ timestamp: 7e6, getHistoricalPoints: () => [{ timestamp: 7e6 }] });
  assert.deepEqual([onlySelf.historicalVector, onlySelf.historical], [true, []]);
});

test('missing touch objects and unreadable fields get their defaults', () => {
  const sparse = [point(1, 2, 3, 4)];
  sparse[2] = null;
  const record = convert({
    touches: sparse,
    getHistoricalPoints: () => [undefined, { timestamp: 3e6 }, { timestamp: 4e6, touchObject: { x: 'a', id: {} } }],
  });
  assert.deepEqual(record.touches, [
    { type: 3, id: 4, x: 1, y: 2 },
    { type: -9999, id: 0, x: 0, y: 0 },
    { type: -9999, id: 0, x: 0, y: 0 },
  ]);
  assert.deepEqual(record.historical, [
    { timestamp: 3, touchObject: { type: -9999, id: 0, x: 0, y: 0 } },
    { timestamp: 4, touchObject: { type: 0, id: 0, x: 0, y: 0 } },
  ]);
});

test('hostile events: throwing getters and huge arrays are bounded and leave the runtime usable', () => {
  const throwing = {
    get timestamp() { throw new Error('timestamp'); },
    type: 5,
    touches: [{ get x() { throw new Error('x'); }, y: 2, type: 1, id: 1 }],
    getHistoricalPoints() { throw new Error('history'); },
  };
  const record = convert(throwing);
  assert.deepEqual(
    [record.timestamp, record.type, record.touches, record.historicalVector],
    [0, 5, [{ type: 1, id: 1, x: 0, y: 2 }], false],
  );
  assert.equal(canvasport.bridgeAdd(1, 1), 2);

  const huge = [];
  huge.length = 2 ** 32 - 1;
  const { result, text } = captureStderr(addon, () => convert({ touches: huge, getHistoricalPoints: () => huge }));
  assert.equal(result.touches.length, 1024);
  assert.ok(result.touches.every((t) => t.type === -9999));
  assert.equal(result.historical.length, 0);
  assert.match(text, /W\/Glintport: canvasport touch event: 4294967295 touches, only the first 1024 kept/);
});

test('a null event gives no record', () => {
  assert.equal(addon.convertTouchEvent(undefined), null);
});
