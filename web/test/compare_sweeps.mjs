// Compares the sweep records written by the native build and by the WebAssembly build
// under Node (tests/sweep/record_sweep.cpp): every text must be the same; probabilities may
// differ in their last bits where the two C libraries' exp and log differ, by at most
// MAX_ULPS units in the last place; beyond that the comparison fails.
//   node compare_sweeps.mjs NATIVE WASM
import { readFileSync } from "node:fs";

const [nativePath, wasmPath] = process.argv.slice(2);
const native = readFileSync(nativePath);
const wasm = readFileSync(wasmPath);
const RECORD = 24;
// 1 - exp(-x) magnifies a last-bit difference of exp for small risks: 256 units in the
// last place is the most the two libraries were seen to differ by.
const MAX_ULPS = 256n;
if (native.length !== wasm.length || native.length % RECORD !== 0 || native.length === 0) {
  console.error(`sweep sizes differ: native ${native.length}, wasm ${wasm.length} bytes`);
  process.exit(1);
}

const records = native.length / RECORD;
let forms = 0, textDifferences = 0, probabilityDifferences = 0, maxUlps = 0n;
for (let i = 0; i < records; ++i) {
  const at = i * RECORD;
  const a = native.subarray(at, at + 8), b = wasm.subarray(at, at + 8);
  if (!a.equals(b)) {
    if (++textDifferences <= 10) {
      console.error(`record ${i}: native "${a.toString("latin1")}", wasm "${b.toString("latin1")}"`);
    }
  }
  if (native.readDoubleLE(at + 8) !== 0) ++forms;
  for (const offset of [8, 16]) {
    const x = native.readBigInt64LE(at + offset), y = wasm.readBigInt64LE(at + offset);
    if (x !== y) {
      ++probabilityDifferences;
      const ulps = x > y ? x - y : y - x;
      if (ulps > maxUlps) maxUlps = ulps;
    }
  }
}
console.log(`${records} records (forms, then unit switch texts), ${forms} forms with a result: ` +
            `${textDifferences} texts differ; ${probabilityDifferences} of ${2 * forms} ` +
            `probabilities differ, by at most ${maxUlps} units in the last place`);
if (maxUlps > MAX_ULPS) {
  console.error(`probabilities differ by more than ${MAX_ULPS} units in the last place`);
}
process.exit(textDifferences === 0 && maxUlps <= MAX_ULPS ? 0 : 1);
