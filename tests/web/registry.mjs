// registry.mjs -- the programs of the registry (web/programs.js) for the
// browser checks and the node tests, each with its own part of the checks:
// the module tests/<name>/web.mjs, where a program keeps what the shared
// checks cannot know of it (a case it must refuse, what makes its exercise
// worth doing, a look at its picture). A program without that module gets
// the checks that its stanza alone allows.
//
//     import { PROGRAMS, TEXTS } from './registry.mjs';
//     for (const p of PROGRAMS) ... p.name, p.input, p.output, p.checks.refusal
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';

const require = createRequire(import.meta.url);
export const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const reader = require(path.join(ROOT, 'web/tools/texts.js'));

// TEXTS: {program: {NAME: text}}, the programs' fixed texts read from their
// C++ (web/tools/texts.js), as the page's texts.js holds them.
export const TEXTS = reader.read(ROOT);

// PROGRAMS: the stanzas, in the tabs' order, each with `checks`, its module.
export const PROGRAMS = await Promise.all(reader.registry(ROOT).map(async (p) => {
  const own = path.join(ROOT, 'tests', p.name, 'web.mjs');
  const checks = fs.existsSync(own) ? await import(pathToFileURL(own).href) : {};
  return { ...p, checks };
}));

// exampleRequest(p, name): the request that runs examples/<p.name>/<name>
// as program p's tab takes its input: a document named on the command
// line, a console's lines on stdin, a command line's words as arguments.
export function exampleRequest(p, name) {
  const data = new Uint8Array(fs.readFileSync(path.join(ROOT, 'examples', p.name, name)));
  if (p.input === 'console') return { args: [], stdin: data };
  if (p.input === 'args') return { args: Buffer.from(data).toString('latin1').trim().split(/\s+/) };
  return { args: [name], files: [{ path: name, data }] };
}
