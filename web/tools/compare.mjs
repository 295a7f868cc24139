// compare.mjs -- compares a student's output with ours on the command line:
//
//     node web/tools/compare.mjs evaluator result.txt 我的result.txt
//
// PROGRAM is evaluator, bitree, translator or josephus; OURS and MINE are
// the two files, read as bytes. It prints the report of compare.js, the
// same script the page uses, as UTF-8 text. Exit status:
//   0  the same text: identical bytes ("完全一致"), or a difference of form
//      only (the encoding, a BOM, the line ends, the trailing newlines),
//      which the report names;
//   1  the contents differ (the report shows the first difference);
//   2  bad usage, or a file that cannot be read (one line on stderr).
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const DsdCompare = require('../frame/compare.js');

// fail(message): prints the message on stderr and ends with status 2.
function fail(message) {
  process.stderr.write(message + '\n');
  process.exit(2);
}

// read(path): returns the bytes of a file, or fails with a message.
function read(path) {
  try {
    return readFileSync(path);
  } catch (e) {
    return fail(`无法读取文件 ${path}：请给出一个存在且可读的文件`);
  }
}

const programs = Object.keys(DsdCompare.OUTPUTS);
const [program, oursPath, minePath] = process.argv.slice(2);
if (process.argv.length !== 5 || !programs.includes(program)) {
  fail(`用法：node web/tools/compare.mjs 程序名 我们的输出 你的输出（程序名是 ${programs.join('、')} 之一）`);
}
let report;
try {
  report = DsdCompare.compare(program, read(oursPath), read(minePath));
} catch (e) {
  fail(`无法对照：${e.message}`);
}
process.stdout.write(DsdCompare.format(report));
process.exitCode = report.verdict === 'different' ? 1 : 0;
