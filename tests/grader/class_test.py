#!/usr/bin/env python3
"""Grade a class built here from our own josephus sources, and check that
every submission gets its verdict and its reason, on our examples, a
teacher's case and seeded cases, that the sandbox holds, and that a second
grading (with --public) reuses what the first one found.

    class_test.py GRADER SOURCE_DIR

The class, in a fresh temp folder: our own C++ (correct), a C port
(correct), and wrong variants, each our sources with one fault put in:
an off-by-one, a missing trailing space, an extra final newline, a
wrong exit status, an endless loop, a memory hog, a fork bomb, a segfault,
an output flood, a missing output file, a compile error; and three that
try to get out (read the next student's folder and /etc, delete files
outside, connect to a port of this test): those must behave as correct
ones, since nothing they try may succeed, and the files outside must stay
as they were. A teacher's case of bad input goes to the 健壮性 group."""
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

GRADER, SOURCE = sys.argv[1], sys.argv[2]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def our_sources(folder, replace=None, main=None):
    """Our josephus sources in folder; replace: {file: (old, new)}; main:
    the body of a main() put in place of ours."""
    os.makedirs(folder)
    src = os.path.join(SOURCE, 'josephus')
    for name in os.listdir(src):
        if name.endswith(('.cpp', '.h')) and name != 'CMakeLists.txt':
            shutil.copy(os.path.join(src, name), folder)
    for name, (old, new) in (replace or {}).items():
        path = os.path.join(folder, name)
        text = open(path, encoding='utf-8').read()
        assert old in text, (name, old)
        open(path, 'w', encoding='utf-8').write(text.replace(old, new))
    if main is not None:
        with open(os.path.join(folder, 'main.cpp'), 'w') as f:
            f.write('#include <cstdio>\n#include <cstdlib>\n#include <cstring>\n#include <unistd.h>\n'
                    '#include <dirent.h>\n#include <sys/socket.h>\n#include <netinet/in.h>\n'
                    '#include <arpa/inet.h>\n#include "program.h"\n'
                    'int main(int argc, char **argv) {\n' + main + '\n}\n')


C_PORT = r'''
#include <stdio.h>
#include <stdlib.h>
typedef struct Node { int num, step; struct Node *next; } Node;
int main(int argc, char **argv) {
    int n = 0, m = 0, i, k, size;
    int steps[64];
    if (argc > 1) {
        n = atoi(argv[1]);
        if (n < 1 || n > 64 || argc != n + 3) { fprintf(stderr, "bad\n"); return 1; }
        m = atoi(argv[2]);
        for (i = 0; i < n; i++) steps[i] = atoi(argv[i + 3]);
    } else {
        printf("please enter parameters!\n");
        if (scanf("%d %d", &n, &m) != 2 || n < 1 || n > 64) return 1;
        for (i = 0; i < n; i++) if (scanf("%d", &steps[i]) != 1) return 1;
    }
    if (m < 1) return 1;
    Node *first = NULL, *last = NULL;
    for (i = 0; i < n; i++) {
        Node *p = malloc(sizeof *p);
        p->num = i + 1; p->step = steps[i]; p->next = NULL;
        if (last) last->next = p; else first = p;
        last = p;
    }
    last->next = first;
    FILE *out = fopen("out.txt", "w");
    if (!out) return 1;
    Node *before = last;
    for (size = n; size > 0; size--) {
        for (k = (m - 1) % size; k > 0; k--) before = before->next;
        Node *leaver = before->next;
        fprintf(out, "%d ", leaver->num);
        m = leaver->step;
        before->next = leaver->next;
        free(leaver);
    }
    fclose(out);
    return 0;
}
'''

PRINT = 'fprintf(fp, "%d ", p->num)'
RUN = 'return RunJosephus(argc, argv, stdin);'

with tempfile.TemporaryDirectory() as tmp:
    cls = os.path.join(tmp, 'class')
    os.makedirs(cls)
    outside = os.path.join(tmp, 'outside.txt')
    open(outside, 'w').write('stays\n')
    listener = socket.socket()
    listener.bind(('127.0.0.1', 0))
    listener.listen(8)
    listener.setblocking(False)
    port = listener.getsockname()[1]
    leak = 'FILE *g = fopen("out.txt", "w"); fputs("LEAK", g); fclose(g); return 0;'

    # The correct ones; the folder of the first is the one others try to read.
    our_sources(os.path.join(cls, '01-正确'))
    os.makedirs(os.path.join(cls, '02-c'))
    open(os.path.join(cls, '02-c', 'josephus.c'), 'w').write(C_PORT)
    # Named in GBK on disk, as an archive from Windows leaves it.
    gbk_name = '03-差一'.encode('gbk')
    our_sources(os.path.join(cls.encode(), gbk_name).decode('utf-8', 'surrogateescape'),
                {'ring.cpp': (PRINT, 'fprintf(fp, "%d ", p->num + 1)')})
    our_sources(os.path.join(cls, '04-trailing'),
                {'ring.cpp': (PRINT, 'fprintf(fp, p == leaving->next ? "%d" : " %d", p->num)')})
    our_sources(os.path.join(cls, '06-newline'),
                {'ring.cpp': ('if (fclose(fp)', 'fputs("\\n", fp); if (fclose(fp)')})
    our_sources(os.path.join(cls, '07-exit'), main='RunJosephus(argc, argv, stdin); return 3;')
    our_sources(os.path.join(cls, '08-loop'), main='for (volatile int i = 0;; i++) {}')
    our_sources(os.path.join(cls, '09-hog'),
                main='for (int i = 0; i < 80; i++) { char *p = (char *)malloc(1 << 20);'
                     ' if (!p) break; memset(p, 1, 1 << 20); } ' + RUN)
    our_sources(os.path.join(cls, '10-forkbomb'), main='for (;;) fork();')
    our_sources(os.path.join(cls, '11-segv'), main='*(volatile int *)0 = 1; ' + RUN)
    our_sources(os.path.join(cls, '12-flood'), main='for (;;) fputs("flood flood flood\\n", stdout);')
    our_sources(os.path.join(cls, '13-nofile'), {'ring.cpp': ('"out.txt", "w+"', '"out2.txt", "w+"')})
    our_sources(os.path.join(cls, '14-ce'), {'ring.cpp': ('tail->next = nullptr;', 'tail->next = nullptr')})
    our_sources(os.path.join(cls, '15-snoop'), main=(
        'const char *paths[] = {"../01-正确/main.cpp", "%s/01-正确/main.cpp", "/etc/passwd",'
        ' "/etc/hostname", "%s"};' % (cls, outside) +
        'for (const char *p : paths) if (FILE *f = fopen(p, "r")) { fclose(f); ' + leak + ' }'
        'if (DIR *d = opendir("..")) { for (dirent *e; (e = readdir(d));)'
        ' if (strstr(e->d_name, "01-")) { ' + leak + ' } closedir(d); }' + RUN))
    our_sources(os.path.join(cls, '16-vandal'), main=(
        'remove("%s"); remove("../outside.txt"); remove("../../outside.txt");'
        ' remove("../01-正确/main.cpp"); system("rm -rf %s %s/01-正确 /tmp/* 2>/dev/null");'
        % (outside, outside, cls) + RUN))
    our_sources(os.path.join(cls, '17-net'), main=(
        'int s = socket(AF_INET, SOCK_STREAM, 0); sockaddr_in a = {}; a.sin_family = AF_INET;'
        ' a.sin_port = htons(%d); a.sin_addr.s_addr = htonl(0x7f000001);'
        ' if (s >= 0 && connect(s, (sockaddr *)&a, sizeof a) == 0) { ' % port + leak + ' } ' + RUN))

    teacher = os.path.join(tmp, 'teacher')
    os.makedirs(teacher)
    open(os.path.join(teacher, 'no_people.txt'), 'w').write('0 1\n')

    before = {}
    for root, _, files in os.walk(cls):
        for f in files:
            before[os.path.join(root, f)] = open(os.path.join(root, f), 'rb').read()

    out = os.path.join(tmp, 'out')
    command = [GRADER, 'josephus', cls, '--cases-dir', teacher, '--cases', '2', '--seed', '7',
               '--out', out, '--jobs', '2',
               '--time-limit', '0.5s', '--memory-limit', '64M', '--output-limit', '1M']
    started = time.time()
    run = subprocess.run(command, capture_output=True, timeout=600)
    print(run.stderr.decode("gbk", "replace"))
    check(run.returncode == 0, 'grader exit %d: %r' % (run.returncode, run.stderr))
    report = json.load(open(os.path.join(out, 'report.json'), encoding='utf-8'))
    print('graded in %.1f s' % (time.time() - started))

    groups = {c['id']: c['group'] for c in report['cases']}
    check(groups.get('args') == '公开' and groups.get('no_people') == '健壮性' and
          groups.get('seed-small-7') == '随机' and groups.get('seed-medium-8') == '随机', 'groups: %r' % groups)
    students = {s['name']: s for s in report['students']}
    check(report['sandbox'] is True, 'graded without the sandbox: %r' % run.stderr)
    check(len(students) == 16, 'students: %r' % sorted(students))

    def case(name, cid='args'):
        for c in students.get(name, {'cases': []})['cases']:
            if c['id'] == cid:
                return c
        return {'verdict': None, 'reason': ''}

    # name -> (verdict on args, words the reason must hold)
    expected = {
        '01-正确': ('AC', ''), '02-c': ('AC', ''),
        '03-差一': ('WA', '第 1 个出列的座号：你的是 3，应为 2'),
        '04-trailing': ('PE', '第 1 行末尾少了 1 个空格'),
        '06-newline': ('PE', '末尾多了 1 个换行'),
        '07-exit': ('WA', '退出状态应为 0，实际为 3'),
        '08-loop': ('TLE', ''),
        '09-hog': ('MLE', '超过 64 MB'),
        '10-forkbomb': ('TLE', ''),
        '11-segv': ('RE', '段错误'),
        '12-flood': ('OLE', ''),
        '13-nofile': ('WA', '没有创建输出文件'),
        '14-ce': ('CE', 'error'),
        '15-snoop': ('AC', ''), '16-vandal': ('AC', ''), '17-net': ('AC', ''),
    }
    for name, (verdict, words) in expected.items():
        got = case(name)
        check(got['verdict'] == verdict and words in got['reason'],
              '%s: %s %s, expected %s with "%s"' % (name, got['verdict'], got['reason'], verdict, words))
    for name in ('01-正确', '02-c'):
        for cid in ('seed-small-7', 'seed-medium-8'):
            check(case(name, cid)['verdict'] == 'AC', '%s on %s: %r' % (name, cid, case(name, cid)))
    check(case('03-差一', 'seed-medium-8')['verdict'] == 'WA', 'off-by-one on a seeded case')
    for name in ('01-正确', '02-c', '07-exit'):
        check(case(name, 'no_people')['verdict'] == 'AC', '%s on bad input: %r' % (name, case(name, 'no_people')))
    check(case('06-newline', 'no_people')['verdict'] == 'AC', 'a refusal is not asked for its bytes')

    # Nothing outside a work folder changed, and nobody called.
    check(open(outside).read() == 'stays\n', 'the file outside the class changed')
    for path, data in before.items():
        check(os.path.exists(path) and open(path, 'rb').read() == data, 'changed: ' + path)
    try:
        listener.accept()
        failures.append('a submission reached the network')
    except BlockingIOError:
        pass

    # The reports: CSV with its mark, HTML with every student.
    csv = open(os.path.join(out, 'report.csv'), 'rb').read()
    check(csv.startswith(b'\xef\xbb\xbf') and '差一'.encode() in csv, 'report.csv')
    html = open(os.path.join(out, 'report.html'), encoding='utf-8').read()
    check(all(('>%s<' % n) in html for n in expected), 'report.html misses a student')

    # A second grading finds every student done; a changed student alone is
    # graded again.
    state = os.path.join(out, '.state')
    stamps = {f: os.stat(os.path.join(state, f)).st_mtime_ns for f in os.listdir(state)}
    with open(os.path.join(cls, '07-exit', 'main.cpp'), 'a') as f:
        f.write('// handed in again\n')
    # With --public, a seeded case shows its verdict but not its reason or input.
    again = subprocess.run(command + ['--public'], capture_output=True, timeout=600)
    check(again.returncode == 0, 'second grading exit %d' % again.returncode)
    changed = [f for f in os.listdir(state) if os.stat(os.path.join(state, f)).st_mtime_ns != stamps.get(f)]
    check(changed == ['07-exit'.encode().hex() + '.rec'], 'graded again: %r' % changed)
    def verdicts(r):
        return [(s['name'], [(c['id'], c['verdict'], c['reason']) for c in s['cases']])
                for s in r['students']]
    resumed = json.load(open(os.path.join(out, 'report.json'), encoding='utf-8'))
    check(verdicts(resumed) == verdicts(report), 'the resumed report differs')
    html = open(os.path.join(out, 'report.html'), encoding='utf-8').read()
    row = html[html.find('seed-medium-8</td>'):]
    row = row[:row.find('</tr>')]
    check('步不同' in row and '你的是' not in row and '&amp;ex=' not in html and
          case('03-差一')['reason'] in html,
          '--public shows a seeded case\'s reason, or hides a public one\'s')

# A second class, of evaluator, whose output file is GBK, has lines and is
# appended to: UTF-8 output, CRLF line ends and a result file written anew
# must be named as such.
with tempfile.TemporaryDirectory() as tmp:
    cls = os.path.join(tmp, 'class')
    src = os.path.join(SOURCE, 'evaluator')

    def evaluator(name, before='', after=''):
        folder = os.path.join(cls, name)
        os.makedirs(folder)
        for f in os.listdir(src):
            if f.endswith(('.cpp', '.h')):
                shutil.copy(os.path.join(src, f), folder)
        path = os.path.join(folder, 'main.cpp')
        text = open(path, encoding='utf-8').read()
        text = text.replace('int main(int argc, char **argv) {',
                            '#include <iconv.h>\n#include <string>\nstatic int Real(int argc, char **argv);\n'
                            'int main(int argc, char **argv) {' + before +
                            ' int status = Real(argc, argv);' + after + ' return status; }\n'
                            'static int Real(int argc, char **argv) {')
        open(path, 'w', encoding='utf-8').write(text)

    evaluator('正确')
    evaluator('anew', before=' remove("result.txt");')
    evaluator('crlf', after=(
        ' FILE *f = fopen("result.txt", "rb"); std::string in; int c;'
        ' while ((c = fgetc(f)) != EOF) { if (c == 10) in += (char)13; in += (char)c; } fclose(f);'
        ' f = fopen("result.txt", "wb"); fwrite(in.data(), 1, in.size(), f); fclose(f);'))
    evaluator('utf8', after=(
        ' FILE *f = fopen("result.txt", "rb"); std::string in; int c;'
        ' while ((c = fgetc(f)) != EOF) in += (char)c; fclose(f);'
        ' std::string out(in.size() * 2, 0); char *a = &in[0], *b = &out[0];'
        ' size_t l = in.size(), r = out.size(); iconv_t cd = iconv_open("UTF-8", "GB18030");'
        ' iconv(cd, &a, &l, &b, &r); f = fopen("result.txt", "wb");'
        ' fwrite(out.data(), 1, out.size() - r, f); fclose(f);'))
    out = os.path.join(tmp, 'out')
    run = subprocess.run([GRADER, 'evaluator', cls, '--out', out], capture_output=True, timeout=600)
    check(run.returncode == 0, 'evaluator class: exit %d %r' % (run.returncode, run.stderr))
    report = json.load(open(os.path.join(out, 'report.json'), encoding='utf-8'))
    got = {s['name']: {c['id']: (c['verdict'], c['reason']) for c in s['cases']} for s in report['students']}
    groups = {c['id']: c['group'] for c in report['cases']}
    check(groups.get('expr') == '公开' and groups.get('syntax_error') == '健壮性', 'evaluator groups %r' % groups)
    check(set(v for v, _ in got.get('正确', {}).values()) == {'AC'}, 'evaluator correct: %r' % got.get('正确'))
    check(got.get('anew', {}).get('expr', ('', ''))[1].find('追加') >= 0, 'written anew: %r' % got.get('anew'))
    check(got.get('anew', {}).get('syntax_error', ('', ''))[0] == 'AC', 'a refusal is not asked for its bytes')
    check(got.get('utf8', {}).get('expr') == ('PE', '编码不同：我们的是 GBK，你的是 UTF-8'), 'utf8: %r' % got.get('utf8'))
    check(got.get('crlf', {}).get('expr', ('', ''))[0] == 'PE' and 'CRLF' in got['crlf']['expr'][1],
          'crlf: %r' % got.get('crlf'))

for f in failures:
    print('FAIL:', f)
sys.exit(1 if failures else 0)
