/* runner.js -- runs one program of the browser edition as a console program.
 *
 * Each program is compiled by emscripten into one script that defines a
 * factory (Evaluator, Bitree, Translator, Josephus). The factory makes a
 * fresh instance, with its own memory and its own in-memory file system; an
 * instance runs main once, so every run here makes a new one.
 *
 * A run takes a request, a plain object:
 *   args   the command-line arguments after the program's name (strings)
 *   stdin  the bytes of the standard input (Uint8Array)
 *   files  [{path, data}]: files put into the work folder before the run
 *          (path relative to it, "/" between folders; data a Uint8Array);
 *          an absolute path puts the file there instead, outside it
 *   readsUpTo  optional: record the reads of stdin below (reads) only
 *          while stdout holds at most this many bytes (the page's console
 *          shows no more; a session of millions of lines would otherwise
 *          carry millions of records)
 *   cwd    optional: the absolute path of the work folder (default /work;
 *          run.mjs gives the real current folder, so that a path named
 *          on its command line means the same file inside)
 *   dirs   [path]: empty folders put there before the run
 *   entry  optional: instead of running main as emscripten does, call the
 *          exported C function of this name, int entry(int argc, char
 *          **argv): the step writer WriteSteps that the browser build links
 *          beside main, or main itself when an argument is given as bytes
 *          (a Uint8Array; emscripten passes strings as UTF-8)
 * and answers with a result, a plain object as well:
 *   status  the exit status, 0 to 255 (-1 shows as 255, as on Linux)
 *   stdout, stderr  the bytes the program wrote to them (Uint8Array)
 *   reads   [{line, at, end}]: the program started reading line `line` of
 *           stdin (counted from 0) when stdout held `at` bytes; the last one
 *           has end: true when the program went on to meet the end of stdin
 *   files   [{path, data}]: every file of the work folder that the run
 *           created or changed, with its bytes (path relative to it)
 *   crash   a message when the instance itself failed (not the program's
 *           own refusal), else absent
 *
 * The bytes pass through unchanged both ways, so GBK text stays GBK: the
 * streams use byte callbacks, never emscripten's print, which decodes UTF-8.
 *
 * Everything lives inside one function, DsdRunner, so that the page can
 * send its source text into a Web Worker built from a Blob (a page opened
 * from file:// may start such a worker, but the worker may not load
 * scripts from file://). DsdRunner() returns {runProgram}. */
function DsdRunner() {
  'use strict';

  /* The folder the program runs in, inside the instance's file system,
   * unless the request names another. */
  var DEFAULT_WORK = '/work';
  /* The newline byte: a console hands the program one line per read. */
  var NEWLINE = 10;

  /* ByteSink(): a growable byte buffer; returns {push(byte), length(),
   * bytes()}. push ignores the null that emscripten sends to flush. */
  function ByteSink() {
    var buf = new Uint8Array(256);
    var len = 0;
    return {
      push: function (b) {
        if (b === null || b === undefined) return;
        if (len === buf.length) {
          var bigger = new Uint8Array(buf.length * 2);
          bigger.set(buf);
          buf = bigger;
        }
        buf[len++] = b & 0xff;
      },
      length: function () { return len; },
      bytes: function () { return buf.slice(0, len); }
    };
  }

  /* lineEnd(data, pos): the position just behind the line that starts at
   * pos (behind its newline, or the end of data). */
  function lineEnd(data, pos) {
    var i = data.indexOf(NEWLINE, pos);
    return i < 0 ? data.length : i + 1;
  }

  /* mkdirs(FS, path): creates path and the folders above it that are
   * missing; leaves existing ones as they are. */
  function mkdirs(FS, path) {
    var parts = path.split('/').filter(Boolean);
    var at = '';
    for (var i = 0; i < parts.length; i++) {
      at += '/' + parts[i];
      if (!FS.analyzePath(at).exists) FS.mkdir(at);
    }
  }

  /* listFiles(FS, dir, prefix, out): appends to out the path (relative to
   * the work folder) of every regular file under dir; returns out. */
  function listFiles(FS, dir, prefix, out) {
    var names = FS.readdir(dir);
    for (var i = 0; i < names.length; i++) {
      var name = names[i];
      if (name === '.' || name === '..') continue;
      var full = dir + '/' + name;
      var mode = FS.lstat(full).mode;
      if (FS.isDir(mode)) listFiles(FS, full, prefix + name + '/', out);
      else if (FS.isFile(mode)) out.push(prefix + name);
    }
    return out;
  }

  /* sameBytes(a, b): true when the two byte arrays are equal. */
  function sameBytes(a, b) {
    if (a.length !== b.length) return false;
    for (var i = 0; i < a.length; i++) if (a[i] !== b[i]) return false;
    return true;
  }

  /* callEntry(M, entry, name, args): calls the exported C function entry
   * with argv = [name, ...args] (strings as UTF-8, Uint8Arrays as they are) and returns its status, or the status it
   * gave exit(); flushes the C streams as the end of main would. */
  function callEntry(M, entry, name, args) {
    var words = [name].concat(args);
    var argv = M._malloc(4 * (words.length + 1));
    var heap = new Uint8Array(M.HEAP8.buffer);
    var view = new DataView(M.HEAP8.buffer);
    words.forEach(function (w, i) {
      var bytes = typeof w === 'string' ? new TextEncoder().encode(w) : w;
      var at = M._malloc(bytes.length + 1);
      heap = new Uint8Array(M.HEAP8.buffer);   /* malloc may grow memory */
      heap.set(bytes, at);
      heap[at + bytes.length] = 0;
      view = new DataView(M.HEAP8.buffer);
      view.setUint32(argv + 4 * i, at, true);
    });
    view.setUint32(argv + 4 * words.length, 0, true);
    try {
      var status = M['_' + entry](words.length, argv);
      M._fflush(0);
      return status;
    } catch (e) {
      if (e && e.name === 'ExitStatus') return e.status;
      throw e;
    }
  }

  /* runProgram(factory, name, request): runs the program once in a fresh
   * instance; returns a Promise of the result described above. It never
   * rejects: a failure of the instance comes back as result.crash. */
  function runProgram(factory, name, request) {
    var stdin = request.stdin || new Uint8Array(0);
    var stdout = ByteSink();
    var stderr = ByteSink();
    var reads = [];
    var inPos = 0;      /* next stdin byte to hand out */
    var line = 0;       /* number of the line inPos lies in */
    var endSeen = false; /* the program has met the end of stdin */
    var given = {};     /* path -> bytes put in before the run */
    var instance = null;
    var WORK = request.cwd || DEFAULT_WORK;

    /* A read of stdin: first flush what the program has written, as a
     * console does before it waits for input, so that each typed line
     * follows the prompt that asked for it; then hand out at most the rest
     * of the current line. */
    function readStdin(stream, buffer, offset, length) {
      if (instance && instance._fflush) instance._fflush(0);
      var record = request.readsUpTo === undefined || stdout.length() <= request.readsUpTo;
      if (inPos >= stdin.length) {
        if (!endSeen && record) reads.push({ line: line, at: stdout.length(), end: true });
        endSeen = true;
        return 0;
      }
      if (length <= 0) return 0;
      var lineStart = inPos === 0 || stdin[inPos - 1] === NEWLINE;
      if (lineStart && record) reads.push({ line: line, at: stdout.length() });
      var end = Math.min(lineEnd(stdin, inPos), inPos + length);
      var n = end - inPos;
      buffer.set(stdin.subarray(inPos, end), offset);
      inPos = end;
      if (stdin[end - 1] === NEWLINE) line++;
      return n;
    }

    var options = {
      noInitialRun: true,
      thisProgram: name,
      /* The console streams as byte callbacks; stdin is replaced below. */
      stdin: function () { return null; },
      stdout: stdout.push,
      stderr: stderr.push,
      /* emscripten's own diagnostics (print, printErr: an abort's message)
       * are dropped, so stdout and stderr hold the program's bytes alone;
       * an abort reaches the caller as result.crash. */
      print: function () {},
      printErr: function () {},
      /* exit() must end the run, not the page or the node process. */
      quit: function (status, toThrow) { throw toThrow; }
    };

    return factory(options).then(function (M) {
      instance = M;
      var FS = M.FS;
      /* stdin is the device made from the callback above; its read is
       * swapped for the line-at-a-time read. */
      var input = FS.getStream(0);
      input.stream_ops = Object.assign({}, input.stream_ops, { read: readStdin });

      mkdirs(FS, WORK);
      (request.dirs || []).forEach(function (d) { mkdirs(FS, WORK + '/' + d); });
      (request.files || []).forEach(function (f) {
        var full = f.path[0] === '/' ? f.path : WORK + '/' + f.path;
        var slash = full.lastIndexOf('/');
        if (slash > 0) mkdirs(FS, full.slice(0, slash));
        FS.writeFile(full, f.data);
        if (f.path[0] !== '/') given[f.path] = f.data;
      });
      FS.chdir(WORK);

      var status = request.entry
        ? callEntry(M, request.entry, name, request.args || [])
        : M.callMain((request.args || []).slice());
      var files = listFiles(FS, WORK, '', []).map(function (path) {
        return { path: path, data: FS.readFile(WORK + '/' + path) };
      }).filter(function (f) {
        return !given[f.path] || !sameBytes(given[f.path], f.data);
      });
      return {
        status: status & 0xff,
        stdout: stdout.bytes(),
        stderr: stderr.bytes(),
        reads: reads,
        files: files
      };
    }).catch(function (e) {
      return {
        status: 255,
        stdout: stdout.bytes(),
        stderr: stderr.bytes(),
        reads: reads,
        files: [],
        crash: String(e && e.message || e)
      };
    });
  }

  return { runProgram: runProgram };
}

if (typeof module === 'object' && module.exports) module.exports = DsdRunner;
