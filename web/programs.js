/* programs.js -- the programs of the browser edition, one stanza each, in
 * the order of their tabs. The page reads this list (page/load.js loads
 * each program's script and folder from it; the tabs and their sections,
 * the workers, the code panel and the 对照 panel read it), and so does the
 * page's build (scripts/web/assets.py: the main examples and the source
 * folders). The C++ build keeps its own list, DSD_PROGRAMS in
 * CMakeLists.txt.
 *
 * To add a program: write its C++ in <name>/ and name it in CMakeLists.txt's
 * DSD_PROGRAMS (cmake/web.cmake then builds <name>.js, with the step writer
 * lab/<name>/steps.cpp linked beside main when there is one), its examples
 * in examples/<name>/, and its folder web/<name>/ with tab.js, picture.js
 * and style.css (load.js loads them; nothing else names them); then add a
 * stanza here:
 *
 *   name         the program: its folder, its script <name>.js, its tab id
 *   factory      the global its script defines (web.cmake derives it the
 *                same way: the name with its first letter upper case)
 *   title        the tab's label
 *   output       the file the 对照 panel compares; null: stdout
 *   mainExample  the example the tab opens with (examples/<name>/)
 *   sources      the folder whose .cpp and .h files the code panel shows
 *
 * A classic script, loaded before every other script of the page; under
 * node (scripts/web/assets.py, web/tools/compare.mjs) it is a CommonJS
 * module. */
var DSD_PROGRAMS = [
  { name: 'evaluator', factory: 'Evaluator', title: 'evaluator 表达式求值',
    output: 'result.txt', mainExample: 'expr.txt', sources: 'evaluator' },
  { name: 'bitree', factory: 'Bitree', title: 'bitree 二叉树',
    output: null, mainExample: 'session.txt', sources: 'bitree' },
  { name: 'translator', factory: 'Translator', title: 'translator 魔王语言翻译',
    output: 'translate.txt', mainExample: 'rules.txt', sources: 'translator' },
  { name: 'josephus', factory: 'Josephus', title: 'josephus 约瑟夫环',
    output: 'out.txt', mainExample: 'args.txt', sources: 'josephus' }
];

if (typeof module === 'object' && module.exports) module.exports = DSD_PROGRAMS;
