/* load.js -- loads the page's scripts and each program's style, in order,
 * from the registry (programs.js), so that a program is added to the page
 * by its stanza there and its folder web/<name>/, never by an edit here or
 * in index.html.
 *
 * The order: each program's own script (<name>.js, built by emscripten;
 * it defines the program's factory), then the page's shared scripts (the
 * programs' fixed texts, texts.js, built from their headers; the shell,
 * the worker's client, the frame, the drawing primitives), then
 * each program's tab (<name>/tab.js), the other parts its stanza names, and
 * its picture (<name>/picture.js), and
 * last app.js, which opens the tab that the address names. Scripts added
 * with async = false run in the order they are added, one after another,
 * as <script> tags would; from file:// as from a server. A script that is
 * missing (a folder copied in part) stops nothing else: app.js names it. */
(function () {
  'use strict';
  var SHARED = [
    'texts.js', 'examples.js', 'sources.js', 'drawing.js',
    'worker/runner.js', 'worker/worker.js', 'page/gbk.js', 'worker/engine.js',
    'frame/compare.js', 'frame/compare-panel.js', 'page/exercise.js',
    'page/dom.js', 'page/files.js', 'page/link.js', 'page/address.js', 'page/output.js', 'page/input.js', 'page/run.js', 'page/tabs.js',
    'frame/code-panel.js', 'draw/common.js', 'draw/queue.js', 'draw/stack.js', 'draw/tree.js', 'draw/ring.js', 'frame/save.js', 'frame/present.js', 'frame/practice.js', 'frame/picture.js'
  ];
  var scripts = [];
  DSD_PROGRAMS.forEach(function (p) { scripts.push(p.name + '.js'); });
  scripts = scripts.concat(SHARED);
  DSD_PROGRAMS.forEach(function (p) {
    scripts.push(p.name + '/tab.js');
    (p.parts || []).forEach(function (part) { scripts.push(p.name + '/' + part); });
    scripts.push(p.name + '/picture.js');
  });
  scripts.push('page/app.js');

  DSD_PROGRAMS.forEach(function (p) {
    var link = document.createElement('link');
    link.rel = 'stylesheet';
    link.href = p.name + '/style.css';
    document.head.appendChild(link);
  });
  scripts.forEach(function (src) {
    var script = document.createElement('script');
    script.src = src;
    script.async = false;
    document.body.appendChild(script);
  });
})();
