// run.mjs -- runs a program of the browser edition as a console program:
//
//     node web/tools/run.mjs build/web/evaluator.js expr.txt
//
// It runs the very script the page loads, through the same runner.js, so a
// case that passes here passes in the page. The current directory plays the
// work folder: its files and folders are copied into the instance's file
// system before the run (an existing result.txt to append to, an input in a
// sub-folder, a folder standing where an output file should go), and every
// file the program created or changed there is written back after it. The
// instance's work folder has the current folder's own absolute path, and
// an argument that names a file outside it (/abs/rules.txt, ../x) brings
// that file in at the same path, so the program opens what it opens on
// the console, under the name it was given; files outside the current
// folder are never written back. stdin, stdout and stderr pass byte for
// byte. The exit status is the program's.
//
// What a browser cannot have is refused with status 125 and one line on
// stderr: a symbolic link (to a device or anywhere else), or a file or
// folder that cannot be read.
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const DsdRunner = require('../worker/runner.js');

// Status for a run that cannot be set up (not the program's own status).
const CANNOT_RUN = 125;

// fail(message): prints the message on stderr and ends with CANNOT_RUN.
function fail(message) {
  process.stderr.write(`run.mjs: ${message}\n`);
  process.exit(CANNOT_RUN);
}

// readTree(dir, prefix, request): adds every file and folder under dir to
// the request's files and dirs; fails on what a browser cannot have.
function readTree(dir, prefix, request) {
  for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
    const rel = prefix + entry.name;
    const full = path.join(dir, entry.name);
    if (entry.isDirectory()) {
      request.dirs.push(rel);
      readTree(full, rel + '/', request);
    } else if (entry.isFile()) {
      let data;
      try {
        data = fs.readFileSync(full);
      } catch (e) {
        fail(`${rel} cannot be read (${e.code}); a browser has no such file`);
      }
      request.files.push({ path: rel, data: new Uint8Array(data) });
    } else {
      fail(`${rel} is a link or a device; a browser has no such file`);
    }
  }
  return request;
}

// readStdin(): the whole standard input, or no bytes when there is none.
function readStdin() {
  try {
    return new Uint8Array(fs.readFileSync(0));
  } catch (e) {
    return new Uint8Array(0);
  }
}

const [modulePath, ...args] = process.argv.slice(2);
if (!modulePath) fail('usage: node web/tools/run.mjs MODULE.js [ARGS...]');
const factory = require(path.resolve(modulePath));
const name = path.basename(modulePath, '.js');

// outsideFiles(args, request): adds to the request each file that an
// argument names outside the current folder, at its absolute path.
function outsideFiles(args, request) {
  const cwd = process.cwd();
  for (const arg of args) {
    const full = path.resolve(cwd, arg);
    const rel = path.relative(cwd, full);
    if (!rel.startsWith('..') && !path.isAbsolute(rel)) continue;   // inside: read by readTree
    let stat;
    try {
      stat = fs.lstatSync(full);
    } catch (e) {
      continue;   // no such file: the program says so itself
    }
    if (!stat.isFile()) continue;
    let data;
    try {
      data = fs.readFileSync(full);
    } catch (e) {
      fail(`${arg} cannot be read (${e.code}); a browser has no such file`);
    }
    request.files.push({ path: full.split(path.sep).join('/'), data: new Uint8Array(data) });
  }
  return request;
}

const request = outsideFiles(args, readTree('.', '', {
  args, stdin: readStdin(), files: [], dirs: [], cwd: process.cwd().split(path.sep).join('/') }));
const result = await DsdRunner().runProgram(factory, name, request);
for (const f of result.files) fs.writeFileSync(f.path, f.data);   // paths inside the current folder
process.stdout.write(result.stdout);
process.stderr.write(result.stderr);
if (result.crash) fail(`the program's instance failed: ${result.crash}`);
process.exitCode = result.status;
