#!/usr/bin/env node
// Whether two PNG pictures hold the same pixels, however they are compressed: the web build
// writes stored PNGs where the golden frames are libpng's. Only what both writers make is read:
// 8-bit RGB or RGBA, not interlaced. Usage: same_pixels.js A.png B.png; exit status 0 same,
// 1 different (said on stderr), 2 unreadable.
'use strict';
const fs = require('fs');
const zlib = require('zlib');

function readRgb(path) {
  const file = fs.readFileSync(path);
  if (file.toString('latin1', 1, 4) !== 'PNG') throw new Error(`${path} is no PNG`);
  let width = 0, height = 0, channels = 0;
  const data = [];
  for (let at = 8; at + 8 <= file.length;) {
    const length = file.readUInt32BE(at);
    const type = file.toString('latin1', at + 4, at + 8);
    const body = file.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      channels = {2: 3, 6: 4}[body[9]];
      if (body[8] !== 8 || !channels || body[12] !== 0)
        throw new Error(`${path}: not 8-bit RGB or RGBA without interlacing`);
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = rows.subarray(y * stride, (y + 1) * stride);
    const above = y > 0 ? rows.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? out[i - channels] : 0;
      const b = above[i];
      const c = i >= channels ? above[i - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = a;
      else if (filter === 2) predicted = b;
      else if (filter === 3) predicted = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      out[i] = (line[i] + predicted) & 0xFF;
    }
  }
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0; i < width * height; ++i) rows.copy(rgb, i * 3, i * channels, i * channels + 3);
  return {width, height, rgb};
}

if (process.argv.length !== 4) {
  console.error('Usage: same_pixels.js A.png B.png');
  process.exit(2);
}
let pictures;
try {
  pictures = process.argv.slice(2, 4).map(readRgb);
} catch (error) {
  console.error(error.message);
  process.exit(2);
}
const [a, b] = pictures;
if (a.width !== b.width || a.height !== b.height) {
  console.error(`${a.width} x ${a.height} against ${b.width} x ${b.height}`);
  process.exit(1);
}
let differing = 0, first = -1;
for (let i = 0; i < a.rgb.length; i += 3) {
  if (a.rgb[i] !== b.rgb[i] || a.rgb[i + 1] !== b.rgb[i + 1] || a.rgb[i + 2] !== b.rgb[i + 2]) {
    if (differing++ === 0) first = i / 3;
  }
}
if (differing) {
  console.error(`${differing} pixels differ, the first at (${first % a.width}, ` +
                `${Math.floor(first / a.width)})`);
  process.exit(1);
}
