/* compare.js -- compares our output of one program with a student's own.
 *
 * Both outputs come as bytes (Uint8Array); a student's output may also come
 * as a string, the text pasted into the page, which has no encoding and no
 * line ends of its own (a textarea gives LF only). The comparison:
 *
 *   1. Identical bytes: "完全一致".
 *   2. Each side is decoded on its own: a UTF-8 BOM, a UTF-16 BOM (FF FE
 *      little-endian, FE FF big-endian: Notepad's "Unicode"), else ASCII,
 *      else valid UTF-8, else GBK (the programs' own encoding). UTF-16 is
 *      decoded and then handled as the same text in UTF-8, so its lines,
 *      characters and shown bytes are those of UTF-8. Its lines are the
 *      pieces between LF bytes, a CR before the LF being part of the line
 *      end, and the line breaks after the last non-empty line are counted
 *      apart ("the trailing newlines").
 *   3. The lines are compared as text. When they are all equal, the text is
 *      the same and what differs is only the form: the encoding, a BOM, the
 *      line ends (CRLF against LF) or the trailing newlines; each is named.
 *   4. Otherwise the first line that differs is cut into characters, each
 *      with its own bytes; the report gives its line and column, both lines
 *      with the differing part marked, the differing bytes in hex, and
 *      where that is in the program's output: evaluator's step and trace
 *      column, bitree's menu choice and printed line, translator's word,
 *      josephus's leaving position.
 *
 * compare(program, ours, mine) returns the report, a plain object;
 * format(report) turns it into plain text with Chinese labels. The page
 * (compare-panel.js) and the command line (compare.mjs) both use this file,
 * so they cannot disagree. Loaded by a <script> tag it defines the global
 * DsdCompare; under node it is a CommonJS module. */
(function (root) {
  'use strict';

  /* The output each program leaves, as the student knows it: the output
   * file that programs.js names, else its console output. */
  var PROGRAMS = root.DSD_PROGRAMS ||
    (typeof require === 'function' ? require('../programs.js') : []);
  var OUTPUTS = {};
  PROGRAMS.forEach(function (p) { OUTPUTS[p.name] = p.output || 'stdout（控制台输出）'; });

  /* The programs' own fixed texts (texts.js in the page, read from their
   * headers under node; see tools/texts.js), each a line of the output
   * without its line break. */
  var TEXTS = root.DSD_TEXTS ||
    (typeof require === 'function' ? require('../tools/texts.js').read() : {});
  function text(program, name) {
    return ((TEXTS[program] || {})[name] || '').replace(/\n/g, '');
  }

  /* The columns of evaluator's trace, in order, and its fixed texts. */
  var TRACE_COLUMNS = text('evaluator', 'TEXT_HEADER').split('\t').map(function (c) { return c.trim(); });
  var TRACE_HEADER = TRACE_COLUMNS.slice(0, 2).join('\t');
  var TRACE_RESULT = text('evaluator', 'TEXT_RESULT');

  /* The lines with which bitree starts the answer to a choice, the number
   * of menu lines before the first, and the labels of its printed lines
   * (a format's label is what comes before its number). */
  var TREE_PROMPT = text('bitree', 'TEXT_ASK_SEQUENCES');
  var EXPRESSION_PROMPT = text('bitree', 'TEXT_ASK_EXPRESSION');
  var INVALID_CHOICE = text('bitree', 'TEXT_BAD_CHOICE');
  var MENU_LINES = ['TEXT_MENU_TITLE', 'TEXT_MENU_0', 'TEXT_MENU_1', 'TEXT_MENU_2'].length;
  var BITREE_LABELS = ['TEXT_PREORDER', 'TEXT_INORDER', 'TEXT_THREADED', 'TEXT_VALUE_FORMAT',
    'TEXT_PREFIX', 'TEXT_INFIX', 'TEXT_POSTFIX'].map(function (name) {
    return text('bitree', name).split('%d')[0];
  });

  /* The words translator writes, one per character of the sentence. */
  var WORDS = ['T', 'D', 'S', 'A', 'E', 'Z', 'G', 'X', 'N', 'H', 'ERROR'].map(function (w) {
    return text('translator', 'TEXT_WORD_' + w);
  });

  /* How many bytes of a differing part are shown in hex at most. */
  var HEX_LIMIT = 48;

  /* How the report says which encoding a side was decoded as. */
  var ENCODING_NAMES = {
    'ASCII': '只有 ASCII 字符（GBK 与 UTF-8 相同）',
    'UTF-8': '按 UTF-8 解码',
    'GBK': '按 GBK 解码',
    'UTF-16LE': '按 UTF-16（小端，FF FE）解码',
    'UTF-16BE': '按 UTF-16（大端，FE FF）解码',
    'text': '是粘贴的文字（不涉及编码）'
  };

  var decoders = {};

  /* decoder(encoding, fatal): returns a TextDecoder for 'utf-8' or 'gbk',
   * made once, that keeps a BOM as U+FEFF (the file's own BOM is taken off
   * before, so one inside a line is shown, not dropped). Throws, with a message for the user, where the runtime has
   * no GBK (a node built without full ICU). */
  function decoder(encoding, fatal) {
    var key = encoding + (fatal ? '!' : '');
    if (!decoders[key]) {
      try {
        decoders[key] = new TextDecoder(encoding, { fatal: fatal, ignoreBOM: true });
      } catch (e) {
        throw new Error('这个运行环境的 TextDecoder 不支持 ' + encoding + ' 编码');
      }
    }
    return decoders[key];
  }

  /* isValid(encoding, bytes): returns whether the bytes decode without a
   * single error. */
  function isValid(encoding, bytes) {
    var strict = decoder(encoding, true);
    try {
      strict.decode(bytes);
      return true;
    } catch (e) {
      return false;
    }
  }

  /* detect(bytes): returns {encoding, bom, valid} for a file's bytes:
   * 'UTF-16LE' or 'UTF-16BE' after their BOM (FF FE, FE FF), 'UTF-8' after
   * a BOM (EF BB BF), 'ASCII' when every byte is
   * below 0x80, 'UTF-8' when the bytes are valid UTF-8, else 'GBK'; valid is
   * false when not even GBK decodes every byte. */
  function detect(bytes) {
    if (bytes.length >= 2 && bytes[0] === 0xFF && bytes[1] === 0xFE) {
      return { encoding: 'UTF-16LE', bom: true, valid: isValid('utf-16le', bytes) };
    }
    if (bytes.length >= 2 && bytes[0] === 0xFE && bytes[1] === 0xFF) {
      return { encoding: 'UTF-16BE', bom: true, valid: isValid('utf-16be', bytes) };
    }
    var bom = bytes.length >= 3 && bytes[0] === 0xEF && bytes[1] === 0xBB && bytes[2] === 0xBF;
    if (bom) return { encoding: 'UTF-8', bom: true, valid: isValid('utf-8', bytes) };
    var ascii = true;
    for (var i = 0; i < bytes.length && ascii; i++) ascii = bytes[i] < 0x80;
    if (ascii) return { encoding: 'ASCII', bom: false, valid: true };
    if (isValid('utf-8', bytes)) return { encoding: 'UTF-8', bom: false, valid: true };
    return { encoding: 'GBK', bom: false, valid: isValid('gbk', bytes) };
  }

  /* charLength(encoding, bytes, i): returns how many bytes the character
   * that starts at i takes (at least 1, never past the end). */
  function charLength(encoding, bytes, i) {
    var b = bytes[i], n = 1;
    if (encoding !== 'GBK' && encoding !== 'ASCII') {   /* UTF-8, and UTF-16 turned into UTF-8 */
      n = b >= 0xF0 && b <= 0xF7 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    } else if (encoding === 'GBK' && b >= 0x81 && b <= 0xFE && i + 1 < bytes.length) {
      n = bytes[i + 1] >= 0x30 && bytes[i + 1] <= 0x39 ? 4 : 2;
    }
    return Math.min(n, bytes.length - i);
  }

  /* hex(bytes): returns the bytes as upper-case hex pairs, separated by
   * blanks, cut after HEX_LIMIT bytes. */
  function hex(bytes) {
    var out = [];
    for (var i = 0; i < bytes.length && i < HEX_LIMIT; i++) {
      out.push((bytes[i] < 16 ? '0' : '') + bytes[i].toString(16).toUpperCase());
    }
    return out.join(' ') + (bytes.length > HEX_LIMIT ? ' …（共 ' + bytes.length + ' 个字节）' : '');
  }

  /* fileSide(bytes): returns one side read from bytes: {kind: 'bytes', size,
   * encoding, bom, valid, lines, trailing, ends}. lines are the lines up to
   * the last non-empty one, each {text, bytes, end} with end 'CRLF', 'LF'
   * or '' (none); trailing counts the line breaks after them; ends is the
   * set of line-end kinds used ('LF', 'CRLF', both, or none). */
  function fileSide(bytes) {
    var found = detect(bytes);
    var body = found.bom ? bytes.subarray(3) : bytes;
    if (found.encoding.indexOf('UTF-16') === 0) {
      body = new TextEncoder().encode(decoder(found.encoding.toLowerCase(), false).decode(bytes.subarray(2)));
    }
    var name = found.encoding === 'GBK' ? 'gbk' : 'utf-8';
    var lines = [], ends = {}, start = 0;
    for (var i = 0; i <= body.length; i++) {
      if (i < body.length && body[i] !== 0x0A) continue;
      var stop = i, end = '';
      if (i < body.length) {
        end = stop > start && body[stop - 1] === 0x0D ? 'CRLF' : 'LF';
        if (end === 'CRLF') stop--;
        ends[end] = true;
      }
      var piece = body.subarray(start, stop);
      lines.push({ text: decoder(name, false).decode(piece), bytes: piece, end: end });
      start = i + 1;
    }
    var side = { kind: 'bytes', encoding: found.encoding, bom: found.bom, valid: found.valid, size: bytes.length,
      lines: lines, trailing: 0, ends: Object.keys(ends).sort().join('+') };
    return trimTrailing(side);
  }

  /* textSide(text): returns one side read from pasted text, as fileSide
   * does but with kind 'text', no bytes and no line-end kinds. */
  function textSide(text) {
    var lines = text.replace(/\r\n/g, '\n').split('\n').map(function (line, i, all) {
      return { text: line, bytes: null, end: i < all.length - 1 ? 'LF' : '' };
    });
    return trimTrailing({ kind: 'text', encoding: 'text', bom: false, valid: true, size: text.length,
      lines: lines, trailing: 0, ends: '' });
  }

  /* trimTrailing(side): drops the empty lines at the end of side.lines
   * and counts in side.trailing the line breaks after the last line left;
   * returns side. */
  function trimTrailing(side) {
    var lines = side.lines;
    while (lines.length > 0 && lines[lines.length - 1].text === '') {
      if (lines.pop().end !== '') side.trailing++;
    }
    if (lines.length > 0 && lines[lines.length - 1].end !== '') side.trailing++;
    return side;
  }

  /* chars(side, line): returns the characters of one line of a side, each
   * {text, bytes}: its decoded text and its bytes (null for pasted text). */
  function chars(side, line) {
    if (side.kind === 'text') {
      return Array.from(line.text).map(function (c) { return { text: c, bytes: null }; });
    }
    var out = [], name = side.encoding === 'GBK' ? 'gbk' : 'utf-8';
    for (var i = 0; i < line.bytes.length;) {
      var n = charLength(side.encoding, line.bytes, i);
      var piece = line.bytes.subarray(i, i + n);
      out.push({ text: decoder(name, false).decode(piece), bytes: piece });
      i += n;
    }
    return out;
  }

  /* codes(side, list): returns the bytes of a list of characters in hex,
   * or, for pasted text, their code points (U+4E2D). */
  function codes(side, list) {
    if (side.kind === 'text') {
      return list.map(function (c) { return 'U+' + c.text.codePointAt(0).toString(16).toUpperCase(); }).join(' ');
    }
    var bytes = [];
    list.forEach(function (c) { bytes.push.apply(bytes, c.bytes); });
    return hex(bytes) + (side.encoding.indexOf('UTF-16') === 0 ? '（换成 UTF-8 后的字节）' : '');
  }

  /* visible(text, marked): returns the text with its tabs shown as → and
   * its CRs as ␍; in a marked part the blanks are shown as · too, so that
   * a tab replaced by blanks can be seen. */
  function visible(text, marked) {
    text = text.replace(/\t/g, '→').replace(/\r/g, '␍');
    return marked ? text.replace(/ /g, '·') : text;
  }

  /* join(list): returns the texts of a list of characters, joined. */
  function join(list) {
    return list.map(function (c) { return c.text; }).join('');
  }

  /* lineView(side, list, from, to): returns one side of the differing
   * line, given as its list of characters: {exists, before, marked, after,
   * hex} with the characters from..to (not including to) as the marked
   * part, made visible, and their bytes in hex; where the side has no such
   * line, exists is false and before says so. */
  function lineView(side, list, from, to) {
    if (!list) return { exists: false, before: '（没有这一行：文件在此之前结束）', marked: '', after: '', hex: '（无）' };
    var part = list.slice(from, to);
    return { exists: true, before: visible(join(list.slice(0, from)), false),
      marked: visible(join(part), true), after: visible(join(list.slice(to)), false),
      hex: part.length ? codes(side, part) : '（无）' };
  }

  /* firstDifference(program, ours, mine, i): returns the first difference,
   * found on line i (counted from 0): {line, column, position, ours,
   * mine, where} with line and column counted from 1, column in characters,
   * and position saying both and where in the output that is. */
  function firstDifference(program, ours, mine, i) {
    var a = i < ours.lines.length ? chars(ours, ours.lines[i]) : null;
    var b = i < mine.lines.length ? chars(mine, mine.lines[i]) : null;
    var lenA = a ? a.length : 0, lenB = b ? b.length : 0;
    var from = 0;
    while (from < lenA && from < lenB && a[from].text === b[from].text) from++;
    var tail = 0;
    while (tail < lenA - from && tail < lenB - from &&
      a[lenA - 1 - tail].text === b[lenB - 1 - tail].text) tail++;
    var where = locate(program, ours, mine, i, from);
    return {
      line: i + 1,
      column: from + 1,
      position: '第 ' + (i + 1) + ' 行，第 ' + (from + 1) + ' 个字符' + (where.text ? '，' + where.text : ''),
      ours: lineView(ours, a, from, lenA - tail),
      mine: lineView(mine, b, from, lenB - tail),
      where: where
    };
  }

  /* locate(program, ours, mine, i, column): returns where line i, character
   * column (from 0), stands in the program's output: {text, step} with a
   * Chinese description and, for evaluator and bitree, the step number or
   * choice index that the pictures jump to (else null). Lines before i are
   * the same on both sides; line i is taken from ours where it exists. */
  function locate(program, ours, mine, i, column) {
    var lines = (i < ours.lines.length ? ours : mine).lines.map(function (l) { return l.text; });
    if (program === 'evaluator') return traceWhere(lines, i, column);
    if (program === 'bitree') return choiceWhere(lines, i);
    if (program === 'translator') return { text: wordWhere(lines[i], column), step: null };
    if (program === 'josephus') return { text: seatWhere(lines[i], column), step: null };
    return { text: '', step: null };
  }

  /* traceWhere(lines, i, column): returns {text, step} for evaluator's
   * trace: the step and column of a row (the tab closing a column named as
   * such), the header, the blank line or the value; with the run counted
   * when result.txt holds more than one. */
  function traceWhere(lines, i, column) {
    var line = lines[i], runs = 0, total = 0;
    lines.forEach(function (l, j) {
      if (l.indexOf(TRACE_HEADER) < 0) return;
      total++;
      if (j < i || (j === i && column >= l.indexOf(TRACE_HEADER))) runs++;
    });
    var run = total > 1 ? '第 ' + Math.max(runs, 1) + ' 次运行，' : '';
    var row = /^(\d+)\t/.exec(line);
    if (row) {
      var before = Array.from(line).slice(0, column);
      var tabs = before.filter(function (c) { return c === '\t'; }).length;
      var name = TRACE_COLUMNS[Math.min(tabs, TRACE_COLUMNS.length - 1)];
      var tab = Array.from(line)[column] === '\t' ? '（该列后面的制表符）' : '';
      return { text: run + '第 ' + row[1] + ' 步，' + name + ' 列' + tab, step: parseInt(row[1], 10) };
    }
    var header = line.indexOf(TRACE_HEADER);
    if (line.indexOf(TRACE_RESULT) === 0 && (header < 0 || column < header)) {
      return { text: run + '运算结果', step: null };
    }
    if (header >= 0) return { text: run + '表头', step: null };
    if (line === '') return { text: run + '运算结果前的空行', step: null };
    return { text: '', step: null };
  }

  /* choiceWhere(lines, i): returns {text, step} for bitree's transcript:
   * a menu line, or the choice (counted from 1) whose answer holds line i,
   * its kind (功能 0, 1, 2 or an invalid number) and the line's place in the
   * answer with its label. */
  function choiceWhere(lines, i) {
    if (i < MENU_LINES) return { text: '菜单第 ' + (i + 1) + ' 行', step: null };
    var choice = 0, start = MENU_LINES;
    for (var k = MENU_LINES; k <= i; k++) {
      if (startsAnswer(lines[k])) { choice++; start = k; }
    }
    if (choice === 0) return { text: '菜单之后、第一个选择之前', step: null };
    var label = BITREE_LABELS.filter(function (l) { return lines[i].indexOf(l) === 0; })[0];
    return {
      text: '第 ' + choice + ' 次选择（' + choiceKind(lines, start) + '）打印的第 ' + (i - start + 1) +
        ' 行' + (label ? '（' + label + '）' : ''),
      step: choice
    };
  }

  /* startsAnswer(line): returns whether bitree starts the answer to a
   * choice with this line. */
  function startsAnswer(line) {
    return line === TREE_PROMPT || line === EXPRESSION_PROMPT || line === INVALID_CHOICE;
  }

  /* choiceKind(lines, start): returns the kind of the choice whose answer
   * starts at line start, told by its lines: choices 1 and 2 share their
   * prompt and differ in what they print. */
  function choiceKind(lines, start) {
    if (lines[start] === TREE_PROMPT) return '功能 0';
    if (lines[start] === INVALID_CHOICE) return '无效的功能序号';
    for (var k = start + 1; k < lines.length && !startsAnswer(lines[k]); k++) {
      if (/^(波兰式值为：|除数为零)/.test(lines[k])) return '功能 2';
      if (/^(波兰式：|中缀表达式|逆波兰式)/.test(lines[k])) return '功能 1';
    }
    return '功能 1 或 2';
  }

  /* wordWhere(line, column): returns which word of translate.txt holds
   * the character at column, with the word; '' where the text before it is
   * not made of the translator's words. */
  function wordWhere(line, column) {
    var at = 0, count = 0;
    var stop = Array.from(line).slice(0, column).join('').length;
    while (at < line.length) {
      var word = WORDS.filter(function (w) { return line.substr(at, w.length) === w; })[0];
      if (!word) return '';
      count++;
      if (at + word.length > stop) return '第 ' + count + ' 个词（' + word + '）';
      at += word.length;
    }
    return '第 ' + (count + 1) + ' 个词（我们的译文在此之前结束）';
  }

  /* seatWhere(line, column): returns which leaving position of out.txt
   * holds the character at column (numbers separated by blanks). */
  function seatWhere(line, column) {
    var before = line.slice(0, column);
    var seat = before.split(' ').length;
    return '第 ' + seat + ' 个出列的座号';
  }

  /* formNotes(ours, mine): returns the differences of form between two
   * sides, each {kind, text}: the encoding, a BOM, the line ends and the
   * trailing newlines; for pasted text, one note that only the text was
   * compared. */
  function formNotes(ours, mine) {
    var notes = [];
    if (mine.kind === 'text') {
      notes.push({ kind: 'pasted', text: '粘贴的文字没有编码和行尾，只比较了文字；要逐字节对照，请打开文件' });
      return notes;
    }
    if (ours.encoding !== mine.encoding && ours.encoding !== 'ASCII' && mine.encoding !== 'ASCII') {
      notes.push({ kind: 'encoding', text: '编码不同：我们的是 ' + ours.encoding + '，你的是 ' + mine.encoding });
    }
    if (ours.bom !== mine.bom) {
      var bomOf = function (side) {
        return side.encoding === 'UTF-16LE' ? 'UTF-16 的 BOM（FF FE）'
          : side.encoding === 'UTF-16BE' ? 'UTF-16 的 BOM（FE FF）' : 'UTF-8 的 BOM（EF BB BF）';
      };
      notes.push({ kind: 'bom', text: (mine.bom ? '你的' : '我们的') + '文件开头有 ' + bomOf(mine.bom ? mine : ours) + '，' +
        (mine.bom ? '我们的' : '你的') + '没有' });
    }
    if (ours.ends && mine.ends && ours.ends !== mine.ends) {
      notes.push({ kind: 'line-ends', text: '行尾不同：我们的是 ' + endName(ours.ends) + '，你的是 ' + endName(mine.ends) });
    }
    if (ours.trailing !== mine.trailing) {
      var n = Math.abs(ours.trailing - mine.trailing);
      notes.push({ kind: 'final-newline', text: '末尾的换行不同：你的文件末尾' +
        (mine.trailing < ours.trailing ? '少了 ' : '多了 ') + n + ' 个换行（我们的有 ' +
        ours.trailing + ' 个，你的有 ' + mine.trailing + ' 个）' });
    }
    return notes;
  }

  /* endName(ends): returns the name of a side's line-end kinds. */
  function endName(ends) {
    return { 'LF': 'LF（0A）', 'CRLF': 'CRLF（0D 0A）', 'CRLF+LF': 'CRLF 和 LF 混用' }[ends];
  }

  /* sameBytes(a, b): returns whether two byte arrays are equal. */
  function sameBytes(a, b) {
    if (a.length !== b.length) return false;
    for (var i = 0; i < a.length; i++) if (a[i] !== b[i]) return false;
    return true;
  }

  /* compare(program, ours, mine): returns the report on our output and a
   * student's: {program, output, verdict, headline, encodings, ours, mine,
   * notes, first, step}. verdict is 'identical' (same bytes), 'same-text'
   * (only the notes differ) or 'different'; headline and encodings are its
   * first two lines of text; ours and mine say {kind, encoding, bom, valid,
   * size}; notes are the differences of form, each {kind, text}; first is
   * the first difference (null unless 'different'); step is the evaluator
   * step or bitree choice it falls in (else null). ours is a Uint8Array (or
   * an ArrayBuffer); mine too, or a string of pasted text. */
  function compare(program, ours, mine) {
    ours = ours instanceof Uint8Array ? ours : new Uint8Array(ours);
    if (typeof mine !== 'string' && !(mine instanceof Uint8Array)) mine = new Uint8Array(mine);
    var report = { program: program, output: OUTPUTS[program] || '', verdict: 'identical',
      headline: '', encodings: '', ours: null, mine: null, notes: [], first: null, step: null };
    var a = fileSide(ours);
    var b = typeof mine === 'string' ? textSide(mine) : fileSide(mine);
    report.ours = describe(a);
    report.mine = describe(b);
    report.encodings = '编码：我们的' + encodingText(report.ours) + '，你的' + encodingText(report.mine);
    if (b.kind === 'bytes' && sameBytes(ours, mine)) return titled(report);
    report.notes = formNotes(a, b);
    report.verdict = 'same-text';
    var count = Math.max(a.lines.length, b.lines.length);
    for (var i = 0; i < count && report.verdict === 'same-text'; i++) {
      var x = a.lines[i], y = b.lines[i];
      if (x && y && x.text === y.text) continue;
      report.verdict = 'different';
      report.first = firstDifference(program, a, b, i);
      report.step = report.first.where.step;
    }
    return titled(report);
  }

  /* describe(side): returns what the report tells of one side. */
  function describe(side) {
    return { kind: side.kind, encoding: side.encoding, bom: side.bom, valid: side.valid, size: side.size };
  }

  /* encodingText(side): returns, in words, the encoding a side of the
   * report was decoded as. */
  function encodingText(side) {
    if (side.size === 0) return '是空文件';
    return ENCODING_NAMES[side.encoding] + (side.bom ? '（带 BOM）' : '') +
      (side.valid ? '' : '（有无法解码的字节，显示为 �）');
  }

  /* titled(report): sets the report's headline, its verdict in words, and
   * returns the report. */
  function titled(report) {
    var names = { encoding: '编码', bom: 'BOM', 'line-ends': '行尾', 'final-newline': '末尾的换行' };
    var kinds = report.notes.map(function (n) { return names[n.kind]; }).filter(Boolean);
    var verdict = report.verdict === 'identical' ? '完全一致'
      : report.verdict === 'different' ? '内容不同'
      : kinds.length === 0 ? '文字相同'
      : '文字相同，只有' + kinds.join('、') + '不同（不是内容上的不同）';
    report.headline = '对照 ' + report.program + (report.output ? ' 的 ' + report.output : '') + '：' + verdict;
    return report;
  }

  /* format(report): returns the report as plain text, one fact a line,
   * ending with a newline; the differing part of a line stands between 【
   * and 】. */
  function format(report) {
    var out = [report.headline, report.encodings], d = report.first;
    if (d) {
      out.push('第一个不同：' + d.position);
      out.push('  我们的：' + sideLine(d.ours));
      out.push('  你的：  ' + sideLine(d.mine));
      out.push('  不同的字节：我们的 ' + d.ours.hex + '；你的 ' + d.mine.hex);
      out.push('  （【】中是不同的部分，→ 是制表符，· 是空格）');
    }
    report.notes.forEach(function (n) {
      out.push((d ? '另外，' : '') + n.text);
    });
    return out.join('\n') + '\n';
  }

  /* sideLine(view): returns one side of the differing line as text. */
  function sideLine(view) {
    return view.exists ? view.before + '【' + view.marked + '】' + view.after : view.before;
  }

  var DsdCompare = { compare: compare, format: format, OUTPUTS: OUTPUTS };
  if (typeof module === 'object' && module.exports) module.exports = DsdCompare;
  else root.DsdCompare = DsdCompare;
})(typeof self !== 'undefined' ? self : this);
