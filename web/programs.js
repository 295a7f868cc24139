/* programs.js -- the page's programs, one stanza each, in the order of the
 * tabs. It is loaded before every other page script, and the build reads it
 * too (scripts/web/assets.py: the main examples and the source folders).
 *
 * To add a program: write its tab (tab-<name>.js) and its picture
 * (pictures/<name>.js), then add a stanza here. */
var DSD_PROGRAMS = [
  { name: 'evaluator',          // the program: its folder, its script <name>.js, its tab id
    factory: 'Evaluator',       // the global its script defines (first letter upper case)
    title: 'evaluator 表达式求值',  // the tab's label
    output: 'result.txt',       // the file the 对照 panel compares; null: stdout
    mainExample: 'expr.txt',    // the example the tab opens with (examples/<name>/)
    input: 'document',          // a file named on the command line
    inputFile: 'expr.txt',      // the name the file is given when typed
    sources: 'evaluator',       // the folder whose .cpp and .h files the code panel shows
    picture: 'evaluator' },     // pictures/<picture>.js
  { name: 'bitree',
    factory: 'Bitree',
    title: 'bitree 二叉树',
    output: null,
    mainExample: 'session.txt',
    input: 'console',           // stdin, a line at a time
    inputFile: null,
    sources: 'bitree',
    picture: 'bitree' },
  { name: 'translator',
    factory: 'Translator',
    title: 'translator 魔王语言翻译',
    output: 'translate.txt',
    mainExample: 'rules.txt',
    input: 'document',
    inputFile: 'rules.txt',
    sources: 'translator',
    picture: 'translator' },
  { name: 'josephus',
    factory: 'Josephus',
    title: 'josephus 约瑟夫环',
    output: 'out.txt',
    mainExample: 'args.txt',
    input: 'args',              // the command line, or the keyboard after the prompt
    inputFile: null,
    sources: 'josephus',
    picture: 'josephus' }
];
