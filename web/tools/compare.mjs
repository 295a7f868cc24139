// compare.mjs -- compares a student's output with ours on the command line:
//
//     node web/tools/compare.mjs evaluator result.txt 我的result.txt
//
// PROGRAM is evaluator, bitree, translator or josephus; OURS and MINE are
// the two files, read as bytes. It runs the comparison that the page runs,
// the C++ inside the program's own script of the browser edition (the
// entry CompareMain, through runner.js, as the page's worker runs it), and
// prints its report as UTF-8 text. The scripts are taken from build/web/
// (scripts/web.sh builds them), or from the folder DSD_WEB_DIR names.
// Exit status:
//   0  the same text: identical bytes ("完全一致"), or a difference of form
//      only (格式错误: the encoding, a BOM, the line ends, blanks, the
//      trailing newlines), which the report names;
//   1  the contents differ (the report shows the first difference);
//   2  bad usage, or a file that cannot be read (one line on stderr).
import { existsSync, readFileSync } from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

const require = createRequire(import.meta.url);
const DsdCompare = require('../frame/compare.js');
const DsdRunner = require('../worker/runner.js');
const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

// fail(message): prints the message on stderr and ends with status 2.
function fail(message) {
  process.stderr.write(message + '\n');
  process.exit(2);
}

// read(path): returns the bytes of a file, or fails with a message.
function read(file) {
  try {
    return new Uint8Array(readFileSync(file));
  } catch (e) {
    return fail(`无法读取文件 ${file}：请给出一个存在且可读的文件`);
  }
}

const programs = Object.keys(DsdCompare.OUTPUTS);
const [program, oursPath, minePath] = process.argv.slice(2);
if (process.argv.length !== 5 || !programs.includes(program)) {
  fail(`用法：node web/tools/compare.mjs 程序名 我们的输出 你的输出（程序名是 ${programs.join('、')} 之一）`);
}
const ours = read(oursPath);
const mine = read(minePath);
const script = path.join(process.env.DSD_WEB_DIR ? path.resolve(process.env.DSD_WEB_DIR) : path.join(root, 'build/web'),
                         program + '.js');
if (!existsSync(script)) fail(`无法对照：缺少 ${script}，请先运行 scripts/web.sh`);
const result = await DsdRunner().runProgram(require(script), program, DsdCompare.request(ours, mine));
let report;
try {
  report = DsdCompare.report(program, result);
} catch (e) {
  fail(`无法对照：${e.message}`);
}
process.stdout.write(DsdCompare.format(report));
process.exitCode = report.verdict === 'different' ? 1 : 0;
