#!/usr/bin/env bash
# Adding a program is one stanza and its folders (docs/layout.md, "Adding a
# program"): this copies the tree into a temporary folder, adds a fifth
# program there, `stub` (a tiny console program that copies the file named
# on its command line to stub.txt under a header line), with its folders
# and its stanza in web/programs.js and nothing else but its section of the
# guide, and checks that
#   - the native build builds it and registers its end-to-end cases, which
#     pass, with the programs of the tree;
#   - the guide's check (every message quoted, every example named) and the
#     homes' check (its name only in its homes) pass with it;
#   - with --web, the browser build (scripts/web.sh) gives it a tab, and
#     the generic browser checks (tests/web/edition.test.mjs) pass on every
#     tab, its own among them.
#
# usage: tests/homes/check_new_program.sh [--web]
# Exit status 0 when the stub program takes its place, 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/../.."
src=$PWD
web=0
[ "${1:-}" != --web ] || web=1
copy=$(mktemp -d /tmp/dsd-new-program-XXXXXX)
trap 'rm -rf "$copy"' EXIT

# The tree as git has it (tracked and new files), without any build.
# This script names the stub, and stays out.
git ls-files -co --exclude-standard -z | grep -zv '^build\|^tests/homes/check_new_program.sh$' |
  xargs -0 cp --parents -t "$copy"
cd "$copy"

# ---------------------------------------------------------------- the stanza
python3 - <<'EOF'
p = "web/programs.js"
s = open(p, encoding="utf-8").read()
stanza = """,
  { name: 'stub', factory: 'Stub', title: 'stub 示例',
    output: 'stub.txt', mainExample: 'words.txt', input: 'document', inputFile: 'words.txt',
    sources: 'stub',
    texts: ['stub/texts.h'] }
];"""
at = s.rindex("\n];")
open(p, "w", encoding="utf-8").write(s[:at] + stanza + s[at + 3:])
EOF

# ---------------------------------------------------------------- the program
mkdir -p stub examples/stub tests/stub/cases web/stub
cat > stub/CMakeLists.txt <<'EOF'
add_library(stub_core STATIC stub.cpp)
target_include_directories(stub_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
add_executable(stub main.cpp)
target_link_libraries(stub PRIVATE stub_core)
EOF
cat > stub/texts.h <<'EOF'
/* texts.h -- the fixed GBK texts of stub. */
#ifndef STUB_TEXTS_H
#define STUB_TEXTS_H
/* "用法：stub 文件" */
constexpr char TEXT_USAGE[] = "\xd3\xc3\xb7\xa8\xa3\xbastub \xce\xc4\xbc\xfe";
/* "结果：" and a newline */
constexpr char TEXT_HEADER[] = "\xbd\xe1\xb9\xfb\xa3\xba\n";
#endif
EOF
cat > stub/stub.h <<'EOF'
/* stub.h -- copies a file to stub.txt under a header line. */
#ifndef STUB_STUB_H
#define STUB_STUB_H
int RunStub(int argc, char **argv);
#endif
EOF
cat > stub/stub.cpp <<'EOF'
/* stub.cpp -- RunStub: the file named by argv[1] to stub.txt, after the
 * header; without it, the usage line on stderr and status 1. */
#include "stub.h"

#include <cstdio>

#include "texts.h"

int RunStub(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "%s\n", TEXT_USAGE);
        return 1;
    }
    std::FILE *in = std::fopen(argv[1], "rb");
    std::FILE *out = in ? std::fopen("stub.txt", "wb") : nullptr;
    if (!out) {
        if (in) std::fclose(in);
        std::fprintf(stderr, "%s\n", TEXT_USAGE);
        return 1;
    }
    std::fputs(TEXT_HEADER, out);
    int c;
    while ((c = std::fgetc(in)) != EOF) std::fputc(c, out);
    std::fclose(in);
    return std::fclose(out) == 0 ? 0 : 1;
}
EOF
cat > stub/main.cpp <<'EOF'
/* main.cpp -- stub's console program. */
#include "stub.h"

int main(int argc, char **argv) { return RunStub(argc, argv); }
EOF
printf 'abc\n' > examples/stub/words.txt

# ---------------------------------------------------------------- its tests
cat > tests/stub/CMakeLists.txt <<'EOF'
add_e2e_cases(stub)
EOF
cat > tests/stub/cases/example.case <<'EOF'
The main example, copied under the header.
=== args
words.txt
=== file words.txt
abc

=== expect stub.txt
结果：
abc

EOF
cat > tests/stub/cases/usage.case <<'EOF'
No file: the usage line.
=== stderr
用法：stub 文件

=== status 1
EOF

# ---------------------------------------------------------------- its tab
cat > web/stub/tab.js <<'EOF'
/* stub/tab.js -- stub's tab: a document in, stub.txt out. */
var DsdStubTab = DsdUi.makeTab('stub', {
  intro: '示例程序：把文件抄进 stub.txt。',
  input: function (box, tab) {
    return DsdUi.documentInput(box, 'stub', 'words.txt', '文件 words.txt 的内容：', tab);
  }
});
EOF
cat > web/stub/picture.js <<'EOF'
/* stub/picture.js -- stub has no steps to draw. */
DsdPicture.attach(DsdStubTab, {
  render: function () {},
  caption: function () { return ''; },
  note: function () { return '这个程序没有可画的步骤。'; }
});
EOF
printf '/* stub/style.css -- stub'"'"'s tab. */\n' > web/stub/style.css

# ---------------------------------------------------------------- the guide
cat >> docs/guide-zh.md <<'EOF'

## stub：示例程序

`stub 文件` 把文件抄进 stub.txt，例如 examples/stub/words.txt。不给文件时显示 `用法：stub 文件`。
EOF

# ---------------------------------------------------------------- the checks
status=0
check() {  # check TITLE COMMAND...: runs one check, quietly unless it fails
  local title=$1 log
  shift
  log=$(mktemp)
  if "$@" >"$log" 2>&1; then
    echo "ok   $title"
  else
    echo "FAIL $title"
    tail -20 "$log"
    status=1
  fi
  rm -f "$log"
}
build=$copy/build/gcc
check "configure: the registry's five programs" \
  cmake -S . -B "$build" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DCMAKE_BUILD_TYPE=Debug
check "the registry gives CMake the stub" grep -q '^DSD_PROGRAMS:STRING=.*stub' "$build/CMakeCache.txt"
check "build the stub" cmake --build "$build" -j 2 --target stub
check "the stub's end-to-end cases" ctest --test-dir "$build" -R '^linux\.stub\.' --no-tests=error
check "the guide quotes the stub's messages" python3 tests/docs/check_guide.py
check "the stub named only in its homes" python3 tests/homes/check_homes.py
if [ $web = 1 ]; then
  check "the browser build" ./scripts/web.sh
  check "the stub has a tab" grep -q "stub" build/web/programs.js
  ln -s "$src/tests/web/node_modules" tests/web/node_modules
  check "the generic browser checks, every tab" node --test --test-name-pattern='file' tests/web/edition.test.mjs
fi
exit $status
