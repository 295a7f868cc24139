/* tabs.js -- the tabs of the page, one per program of programs.js: each
 * one's examples and file button, 换一题, the run bar, the input box its
 * program's own script builds, the output view, the picture's box and the
 * 对照 panel's box; and its case kept in the address (address.js).
 *
 * A tab is made by DsdUi.makeTab(program, content); the program's own
 * script (<name>/tab.js) gives its content:
 *   intro          one sentence on what the program shows
 *   input(box, tab)  builds the program's input inside box and returns
 *                  {load(name, bytes, opened), request(), saved(), flags,
 *                  restore(flag, bytes)}: load puts an example or an opened
 *                  file there; request() answers {request, command} for
 *                  runner.js and the console command line it stands for, or
 *                  {error} with a message for the user; saved() answers
 *                  {flag, bytes} (bytes null when the input cannot be kept)
 *                  for the address, flags the letters a flag may be ('' for
 *                  none), restore puts such a pair back
 *   show(run, box) optional: more display of a run (evaluator's table)
 *
 * THE TAB OBJECT. Each field, what it holds, and who writes it:
 *   program        the program's name                     makeTab, once
 *   section        its <section id="tab-<program>">       makeTab, once
 *   pictureBox     the <div> the picture's frame fills    makeTab; filled
 *                                                         by frame/picture.js
 *   compareBox     the <div> of the 对照 panel             makeTab; filled by
 *                                                         frame/compare-panel.js
 *   comparePanel   the 对照 panel, or undefined            makeTab
 *   last           the latest run on screen (run.js), or  the run machine, at
 *                  null before the first                  each answer or refusal
 *   onRun          listeners called with each new `last`  pushed by the frame,
 *                                                         the panels, present.js
 *   wantsSteps     true when the runs also ask for the    frame/picture.js, at
 *                  step writer's trace                    attach
 *   inputName      the example or file in the input,      makeTab, at each load;
 *                  'typed' once edited                    the input box's edits
 *   exercise       '<size>-<seed>' of the 换一题 input,     makeTab
 *                  or null
 *   exerciseSize   the 换一题 size <select>                 makeTab
 *   run(), stop()  a run of the input as it is now, as a  makeTab (run.js)
 *                  Promise of the run on screen; ending
 *                  the run in flight
 *   say(text)      the line beside the examples           makeTab
 *   restarted()    the input emptied by the tab's own      makeTab; called by
 *                  control (bitree's 重新开始): 示例 says so   <name>/tab.js
 *   savedIn()      the input as the address keeps it      makeTab
 *                  (in=), or null
 *   followLink(runNow)  takes the address's case          makeTab; called by
 *                                                         app.js
 *   onCompareStep(n)  goes to the 对照 panel's unit n       frame/picture.js
 *   linkStep(step, later)  goes to a link's step          frame/picture.js
 * A picture never touches a tab's DOM; it gets what it needs through the
 * frame's view (frame/picture.js). */
var DsdUi = (function () {
  'use strict';
  var el = DsdDom.el;
  var tabs = {};   /* program -> its tab */

  /* An input of at most this many bytes is kept in the address. */
  var LINK_LIMIT = DsdLink.LINK_LIMIT;

  /* info(program): the program's stanza in programs.js. */
  function info(program) {
    return DSD_PROGRAMS.filter(function (p) { return p.name === program; })[0];
  }

  /* buildFrame(): one tab button and one empty section per program, in the
   * order of programs.js; leaves those that index.html already has. */
  function buildFrame() {
    var nav = document.getElementById('tabs');
    var main = document.querySelector('main');
    DSD_PROGRAMS.forEach(function (p) {
      if (!nav.querySelector('[data-tab="' + p.name + '"]')) {
        nav.appendChild(el('button', { type: 'button', role: 'tab', 'data-tab': p.name, textContent: p.title }));
      }
      if (!document.getElementById('tab-' + p.name)) {
        main.appendChild(el('section', { id: 'tab-' + p.name, className: 'tab', role: 'tabpanel', hidden: true }));
      }
    });
  }
  buildFrame();


  /* examples(program): the program's bundled examples, [{name, bytes}],
   * the main one first; none when examples.js is missing. */
  function examples(program) {
    var list = (typeof DSD_EXAMPLES === 'object' && DSD_EXAMPLES[program]) || [];
    var main = info(program).mainExample;
    return list.map(function (e) { return { name: e.name, bytes: DsdFiles.base64Bytes(e.base64) }; })
      .sort(function (a, b) { return (b.name === main) - (a.name === main); });
  }

  /* makeTab(program, content): builds the tab's content in its section
   * (#tab-<program>) and returns the tab object described above. */
  function makeTab(program, content) {
    var section = document.getElementById('tab-' + program);
    /* inputName: the example or file in the input, 'typed' once edited. */
    var tab = { program: program, section: section, last: null, onRun: [], wantsSteps: false,
                inputName: 'typed' };
    var inputBox = el('div', { className: 'input' });
    var select = el('select', { className: 'examples' });
    var source = el('span', { className: 'source' });
    var runButton = el('button', { type: 'button', className: 'run', textContent: '运行' });
    var stopButton = el('button', { type: 'button', className: 'stop', textContent: '停止', hidden: true });
    var busy = el('span', { className: 'busy', hidden: true, textContent: '正在运行…' });
    var message = el('p', { className: 'message', hidden: true, role: 'alert' });
    var linkNote = el('p', { className: 'link-note', hidden: true });
    var output = el('div', { className: 'output' });
    var list = examples(program);
    var linkDamaged = false; /* the input of the link could not be read */
    var foldButton = el('button', { type: 'button', className: 'fold', 'aria-expanded': 'true',
                                    'aria-controls': program + '-input', textContent: '收起输入 ▴' });
    inputBox.id = program + '-input';
    tabs[program] = tab;

    /* say(text): the line beside the examples (what is open, what goes to
     * the program). */
    tab.say = function (text) { source.textContent = text; };

    var tabButton = document.querySelector('#tabs [data-tab="' + program + '"]');
    section.appendChild(el('h2', { className: 'visually-hidden', textContent: tabButton ? tabButton.textContent : program }));
    section.appendChild(el('p', { className: 'intro', textContent: content.intro }));
    list.forEach(function (e, i) { select.appendChild(el('option', { value: String(i), textContent: e.name })); });
    var fileOption = el('option', { value: 'file', hidden: true, disabled: true });
    select.appendChild(fileOption);
    section.appendChild(el('div', { className: 'sources' }, [
      el('label', {}, ['示例：', select]), DsdFiles.fileButton(function (name, bytes) {
        linkDamaged = false;
        fileOption.textContent = '（你打开的文件：' + name + '）';
        fileOption.hidden = false;
        select.value = 'file';
        tab.say('');
        tab.inputName = name;
        DsdAddress.set(program, 'ex', null);
        input.load(name, bytes, true);
        if (!source.textContent) tab.say('已打开 ' + name + '（' + DsdDom.sizeText(bytes.length) + '），原样交给程序。');
        tab.run();
      }, function (text) { refuse(text); }), exerciseBar(), foldButton, source]));
    section.appendChild(inputBox);
    inputBox.addEventListener('input', function () {
      if (tab.inputName !== 'typed' || select.value !== 'file') edited(shownAs() ? '（已改动：原为 ' + shownAs() + '）' : '（已改动）');
      tab.inputName = 'typed';
      tab.exercise = null;
      DsdAddress.set(program, 'ex', null);
    });

    /* shownAs(): what 示例 shows now, without its brackets. */
    function shownAs() {
      var option = select.options[select.selectedIndex];
      return option ? option.textContent.replace(/^（(.*)）$/, '$1') : '';
    }

    /* edited(label): 示例 says that the box no longer holds what it
     * loaded, but what label says. */
    function edited(label) {
      fileOption.textContent = label;
      fileOption.hidden = false;
      select.value = 'file';
    }
    tab.restarted = function () {
      edited('（重新开始：只有你输入的行）');
      tab.inputName = 'typed';
      tab.exercise = null;
      DsdAddress.set(program, 'ex', null);
    };

    /* THE FOLD. Once a run is on screen the input box folds to its first
     * line and the sentences around it step aside (style.css), so the
     * picture and its code fill the first screen. The keyboard going into
     * a text box of it opens it until the next run is shown (not a button
     * or a line already in sight, which would move under the mouse; nor
     * does it fold on leaving it, for the same reason); 显示输入 opens it
     * until 收起输入. */
    var unfolded = false;
    function fold(on) {
      section.classList.toggle('folded', on);
      foldButton.setAttribute('aria-expanded', String(!on));
      foldButton.textContent = on ? '显示输入 ▾' : '收起输入 ▴';
    }
    foldButton.addEventListener('click', function () {
      unfolded = section.classList.contains('folded');
      fold(!unfolded);
    });
    tab.onRun.push(function () { if (!unfolded) fold(true); });
    inputBox.addEventListener('focusin', function (e) { if (e.target.tagName === 'TEXTAREA') fold(false); });
    section.appendChild(el('div', { className: 'actions' }, [
      runButton, stopButton, busy,
      el('span', { className: 'note', textContent: '每次运行都用一个新的程序实例，在一个空的工作文件夹里进行。' })]));
    section.appendChild(message);
    section.appendChild(linkNote);
    tab.pictureBox = el('div', { className: 'picture' });
    section.appendChild(tab.pictureBox);
    section.appendChild(output);
    tab.compareBox = el('div', { className: 'compare' }, [
      el('h3', { textContent: '对照：你的程序与我们的程序' })]);
    section.appendChild(tab.compareBox);

    /* exerciseBar(): 换一题 with its size (exercise.js): a new random input
     * that the program accepts, run at once; its size and seed go into the
     * address (ex=<size>-<seed>), so a link gives everyone the same one. */
    function exerciseBar() {
      var size = el('select', { className: 'exercise-size' });
      DsdExercise.SIZES.forEach(function (s) { size.appendChild(el('option', { value: s, textContent: DsdExercise.LABELS[s] })); });
      var button = el('button', { type: 'button', className: 'exercise-new', textContent: '换一题' });
      button.addEventListener('click', function () {
        loadExercise(size.value, DsdExercise.newSeed());
        tab.run();
      });
      tab.exerciseSize = size;
      return el('span', { className: 'exercise' }, [button, el('label', {}, [' 大小：', size])]);
    }

    /* loadExercise(size, seed): asks the program's worker for the exercise
     * of that size and seed (exercise.js) and puts it into the input when it
     * comes; runs asked for meanwhile wait for it (loading). false (the
     * input left as it was) for a size there is none of. */
    var loading = null;
    function loadExercise(size, seed) {
      if (typeof DsdExercise !== 'object' || DsdExercise.SIZES.indexOf(size) < 0) return false;
      linkDamaged = false;
      tab.exerciseSize.value = size;
      fileOption.textContent = '（换一题：' + DsdExercise.LABELS[size] + '，编号 ' + seed + '）';
      fileOption.hidden = false;
      select.value = 'file';
      DsdAddress.set(program, 'ex', size + '-' + seed);
      tab.exercise = size + '-' + seed;
      var mine = loading = DsdExercise.make(program, size, seed).then(function (ex) {
        if (loading === mine) loading = null;
        if (!ex || tab.exercise !== size + '-' + seed) return;
        tab.inputName = ex.name;
        input.load(ex.name, ex.bytes, false);
        tab.say('');
      });
      return true;
    }

    /* linkedExercise(): loads the exercise that the address names (ex=):
     * 'none' when it names none, 'loaded', or 'damaged' when ex= is not
     * exactly a size and a seed that 换一题 makes (DsdLink.parseExercise). */
    function linkedExercise() {
      var value = DsdAddress.part(program, 'ex');
      if (value === null) return 'none';
      var ex = typeof DsdExercise === 'object' ? DsdLink.parseExercise(value, DsdExercise.SIZES) : null;
      return ex && loadExercise(ex.size, ex.seed) ? 'loaded' : 'damaged';
    }

    var input = content.input(inputBox, tab);
    /* loadExample(i): puts example i into the input. */
    function loadExample(i) {
      if (!list[i]) return;
      DsdAddress.set(program, 'ex', null);
      tab.exercise = null;
      fileOption.hidden = true;
      select.value = String(i);
      tab.inputName = list[i].name;
      input.load(list[i].name, list[i].bytes, false);
      tab.say('');
    }
    select.addEventListener('change', function () {
      if (select.value === 'file') return;
      linkDamaged = false;
      loadExample(Number(select.value));
      tab.run();
    });

    /* restoreLink(value): puts the input that a link's in= holds into the
     * input; returns the reason it is damaged (DsdLink.decodeInput: the
     * input left as it was), or null. */
    function restoreLink(value) {
      var got = DsdLink.decodeInput(value, input.flags);
      if (got.damaged) return got.damaged;
      input.restore(got.flag, got.bytes);
      fileOption.hidden = true;
      select.value = '';
      tab.say('');
      return null;
    }

    /* DAMAGED: what the line under the run bar says of each way a link can
     * be damaged; the main example's name follows. */
    var DAMAGED = {
      long: '链接太长：其中的输入超过链接能带的 32 KB，没有读它，已改为载入主示例 ',
      checksum: '链接已损坏：其中的输入被截断或改动过（校验码不符），已改为载入主示例 ',
      text: '链接已损坏：其中的输入无法读出，已改为载入主示例 ',
      exercise: '链接已损坏：其中的“换一题”编号不是本页生成的，已改为载入主示例 '
    };

    /* follow(value): takes the input of a link (null: none), or, when it is
     * damaged, the tab's main example with a line that says why. */
    function follow(value) {
      linkDamaged = false;
      linkMine = null;
      var why = takeMine(DsdAddress.part(program, 'mine'));
      if (why !== null) { loadExample(0); tab.damagedLink(DAMAGED[why].replace(/ $/, '')); return; }
      var ex = linkedExercise();
      if (ex === 'loaded') return;
      why = ex === 'damaged' ? 'exercise' : value === null ? null : restoreLink(value);
      if (why === null && value !== null) return;
      linkMine = null;
      loadExample(0);
      if (why !== null) tab.damagedLink(DAMAGED[why].replace(/ $/, ''));
    }

    /* takeMine(value): keeps the student's output a link's mine= holds (a
     * grading report's link: same form as in=, no flag) for the 对照 panel
     * once the link's run is on screen, and takes it out of the address (it
     * is given once); returns why it is damaged, or null. */
    var linkMine = null;
    function takeMine(value) {
      if (value === null) return null;
      DsdAddress.set(program, 'mine', null);
      var got = DsdLink.decodeInput(value, '');
      if (got.damaged) return got.damaged;
      linkMine = got.bytes;
      return null;
    }

    /* damagedLink(text): the tab's main example, with the line text (a
     * sentence without its end, naming why the link was not followed) and
     * the example's name under the run bar. */
    tab.damagedLink = function (text) {
      if (select.value !== '0') loadExample(0);
      linkDamaged = true;
      showLinkNote(text + ' ' + (list[0] ? list[0].name : '') + '。');
    };

    /* showLinkNote(text): the line about the link under the run bar ('':
     * none). */
    function showLinkNote(text) {
      linkNote.textContent = text;
      linkNote.hidden = !text;
    }

    /* saveLink(): writes the input into the address when it is small
     * enough, else takes it out and says so. */
    function saveLink() {
      var s = input.saved();
      if (!s.bytes) { DsdAddress.set(program, 'in', null); return; }
      if (s.bytes.length > LINK_LIMIT) {
        DsdAddress.set(program, 'in', null);
        showLinkNote('这个输入有 ' + DsdDom.sizeText(s.bytes.length) + '，超过链接能带的 32 KB，不能放进链接：' +
                     '地址栏里的链接只记下标签页和步骤，用它再打开本页时，请重新打开这个文件。');
        return;
      }
      DsdAddress.set(program, 'in', DsdLink.encodeInput(s.flag, s.bytes));
      if (linkDamaged) linkDamaged = false;   /* the note stays for the run it explains */
      else showLinkNote('');
    }
    tab.savedIn = function () {
      var s = input.saved();
      return s.bytes && s.bytes.length <= LINK_LIMIT ? DsdLink.encodeInput(s.flag, s.bytes) : null;
    };

    /* The runs (run.js): the run bar follows the machine's state. */
    var runs = 0;   /* answers shown so far, for the checks to wait on */
    var machine = DsdRun.machine(program, {
      ask: function () {
        var asked = input.request();
        if (!asked.error) message.hidden = true;
        return asked;
      },
      wantsSteps: function () { return tab.wantsSteps; },
      busy: function (state) {
        var inFlight = state !== 'idle';
        runButton.disabled = inFlight;
        stopButton.hidden = !inFlight;
        busy.hidden = !inFlight;
        busy.textContent = '正在运行…' + (state === 'queued' ? '（还有 1 次运行在等待：它会用上到目前为止的全部输入）' : '');
        section.classList.toggle('running', inFlight);
        section.setAttribute('data-pending', String({ idle: 0, running: 1, queued: 2 }[state]));
      },
      shown: function (run) {
        DsdOutput.showRun(run, output);
        if (content.show && !run.error) content.show(run, output);
        output.setAttribute('data-ms', run.ms.toFixed(1));
        if (!run.error) saveLink();
      },
      refused: function (text) {
        message.textContent = text;
        message.hidden = false;
        DsdOutput.clearBox(output);
        output.setAttribute('data-refused', String(Number(output.getAttribute('data-refused') || 0) + 1));
      },
      /* Each listener (the console, the picture, the fold, …) draws in
       * a turn of its own (DsdDom.inTurn), so that a large run never holds
       * the page up for all of them at once; data-runs counts a run shown
       * once the last of them is done. */
      publish: function (run) {
        tab.last = run;
        tab.onRun.forEach(function (f) { DsdDom.inTurn(function () { f(run); }); });
        DsdDom.inTurn(function () {
          if (tab.comparePanel) tab.comparePanel.refresh();
          if (linkMine && tab.comparePanel && !run.error) {
            tab.comparePanel.give('学生的输出', linkMine);
            linkMine = null;
          }
          if (!run.refused) output.setAttribute('data-runs', String(++runs));
        });
      }
    });
    /* An exercise on its way from the worker goes into the input first. */
    tab.run = function () {
      if (loading) return loading.then(function () { return tab.run(); });
      return machine.run();
    };
    tab.stop = machine.stop;
    var refuse = machine.refuse;

    /* followLink(runNow): takes the input and step of the address's #
     * part (a link pasted into the open page); when the input changed, runs
     * it if runNow (else the caller does). */
    tab.followLink = function (runNow) {
      var value = DsdAddress.part(program, 'in');
      var ex = DsdAddress.part(program, 'ex');
      var changed = (value !== null && value !== tab.savedIn()) || (ex !== null && ex !== tab.exercise) ||
                    DsdAddress.part(program, 'mine') !== null;
      if (changed) follow(value);
      if (tab.linkStep) tab.linkStep(DsdAddress.part(program, 'step'), changed || !runNow);
      if (changed && runNow) tab.run();
    };

    follow(DsdAddress.part(program, 'in'));

    /* The 对照 panel compares a student's output with the output file of
     * the run on screen (bitree: its console output). */
    if (typeof DsdComparePanel === 'object') {
      tab.comparePanel = DsdComparePanel.mount(tab.compareBox, program, function () {
        return tab.last ? DsdOutput.ourOutput(program, tab.last.result) : null;
      }, { onStep: function (step) { if (tab.onCompareStep) tab.onCompareStep(step); } });
    }
    runButton.addEventListener('click', function () { tab.run(); });
    stopButton.addEventListener('click', function () { tab.stop(); });
    return tab;
  }

  return { el: el, makeTab: makeTab, tabs: tabs, sizeText: DsdDom.sizeText, downloadLink: DsdFiles.downloadLink,
           encodeOrExplain: DsdInput.encodeOrExplain, documentInput: DsdInput.documentInput,
           showText: DsdInput.showText, SHOW_LIMIT: DsdOutput.SHOW_LIMIT };
})();
