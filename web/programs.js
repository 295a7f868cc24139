/* programs.js -- the programs of the browser edition, one stanza each, in
 * the order of their tabs. Every other script of the page reads this list
 * (the tabs and their sections, the workers, the 对照 panel), and so does
 * the build (scripts/web/assets.py: the main examples and the source
 * folders), so a program is named here once.
 *
 * To add a program: write its C++ in <name>/ (built into <name>.js by
 * cmake/web.cmake), its examples in examples/<name>/, its tab in
 * web/tab-<name>.js and its picture in web/pictures/<picture>.js (and their
 * <script> tags in index.html), then add a stanza here:
 *
 *   name         the program: its folder, its script <name>.js, its tab id
 *   factory      the global its script defines (web.cmake derives it the
 *                same way: the name with its first letter upper case)
 *   title        the tab's label
 *   output       the file the 对照 panel compares; null: stdout
 *   mainExample  the example the tab opens with (examples/<name>/)
 *   input        'document' (a file named on the command line), 'console'
 *                (stdin, line by line) or 'args' (command line or keyboard)
 *   inputFile    for 'document': the name the file is given when typed
 *   sources      the folder whose .cpp and .h files the code panel shows
 *   picture      the picture's script, pictures/<picture>.js
 *
 * A classic script, loaded before every other script of the page; under
 * node (scripts/web/assets.py, web/compare.mjs) it is a CommonJS module. */
var DSD_PROGRAMS = [
  { name: 'evaluator', factory: 'Evaluator', title: 'evaluator 表达式求值',
    output: 'result.txt', mainExample: 'expr.txt', input: 'document', inputFile: 'expr.txt',
    sources: 'evaluator', picture: 'evaluator',
    texts: ['evaluator/texts.h'] },
  { name: 'bitree', factory: 'Bitree', title: 'bitree 二叉树',
    output: null, mainExample: 'session.txt', input: 'console', inputFile: null,
    sources: 'bitree', picture: 'bitree',
    texts: ['bitree/texts.h'] },
  { name: 'translator', factory: 'Translator', title: 'translator 魔王语言翻译',
    output: 'translate.txt', mainExample: 'rules.txt', input: 'document', inputFile: 'rules.txt',
    sources: 'translator', picture: 'translator',
    texts: ['translator/messages.h', 'translator/words.cpp'] },
  { name: 'josephus', factory: 'Josephus', title: 'josephus 约瑟夫环',
    output: 'out.txt', mainExample: 'args.txt', input: 'args', inputFile: null,
    sources: 'josephus', picture: 'josephus',
    texts: ['josephus/messages.h'] }
];

if (typeof module === 'object' && module.exports) module.exports = DSD_PROGRAMS;
