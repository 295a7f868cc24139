/* programs.js -- the registry: the programs, one stanza each, in the order
 * of their tabs. Everything reads this list: the page (page/load.js loads
 * each program's script, tab, picture and style from it), the workers and
 * the 对照 panel; the build (cmake/registry.cmake), the scripts and checks
 * (scripts/lib/registry.sh, scripts/lib/registry.py), the page's generated
 * files (scripts/web/assets.py) and the browser checks
 * (tests/web/registry.mjs). So a program is named here once, and elsewhere
 * only in its own folders (tests/homes/check_homes.py sees to it).
 *
 * To add a program (docs/layout.md walks through it): its C++ in <name>/,
 * its examples in examples/<name>/, its tests in tests/<name>/, its tab,
 * picture and style in web/<name>/, its step writer in lab/<name>/, its
 * section in the guide, and a stanza here. Each stanza opens with
 * `{ name: '<name>',` at the start of a line: CMake and the shell read
 * that line, and the shell the other fields as `field: '...'`, so no field
 * is split over two lines.
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
 *   parts        optional: more scripts of the program's folder web/<name>/,
 *                loaded in this order between its tab.js and its picture.js
 *   texts        the files of its fixed GBK texts, read by web/tools/texts.js
 *
 * A classic script, loaded before every other script of the page; under
 * node (scripts/web/assets.py, web/tools/) it is a CommonJS module. */
var DSD_PROGRAMS = [
  { name: 'evaluator', factory: 'Evaluator', title: 'evaluator 表达式求值',
    output: 'result.txt', mainExample: 'expr.txt', input: 'document', inputFile: 'expr.txt',
    sources: 'evaluator',
    texts: ['evaluator/texts.h'] },
  { name: 'bitree', factory: 'Bitree', title: 'bitree 二叉树',
    output: null, mainExample: 'session.txt', input: 'console', inputFile: null,
    sources: 'bitree', parts: ['side.js', 'questions.js'],
    texts: ['bitree/texts.h'] },
  { name: 'translator', factory: 'Translator', title: 'translator 魔王语言翻译',
    output: 'translate.txt', mainExample: 'rules.txt', input: 'document', inputFile: 'rules.txt',
    sources: 'translator',
    texts: ['translator/messages.h', 'translator/words.cpp'] },
  { name: 'josephus', factory: 'Josephus', title: 'josephus 约瑟夫环',
    output: 'out.txt', mainExample: 'args.txt', input: 'args', inputFile: null,
    sources: 'josephus',
    texts: ['josephus/messages.h'] }
];

if (typeof module === 'object' && module.exports) module.exports = DSD_PROGRAMS;
