/* Unit tests of the step hook (step.h) and the step writer: on every
 * example, each row of the trace table is told to the hook once, right
 * after the line that did the row's action, and the writer's steps hold
 * what the console run's table shows. The examples that end in an error
 * end the program, so those runs are made in child processes. */
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "driver.h"
#include "source_line.h"
#include "state.h"
#include "step.h"
#include "texts.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

/* What the line of each kind of row must do, before its STEP. */
const char *Does(StepKind kind) {
    switch (kind) {
    case STEP_PUSH_OPND: return "PushTq(&OPND, Value)";
    case STEP_PUSH_OPTR: return "PushSq(&OPTR, C)";
    case STEP_CANCEL: return "PopSq(&OPTR";
    case STEP_OPERATE: return "PushTq(&OPND, Calculate(";
    case STEP_RETURN: return "PopTq(&OPND";
    case STEP_SYNTAX_ERROR: return "TEXT_SYNTAX_ERROR";
    case STEP_DIVIDE_ERROR: return "TEXT_DIVIDE_ERROR";
    }
    return "?";
}

/* How the action of each kind of row begins in the table (its texts
 * without their line ends). */
std::string Action(StepKind kind) {
    std::string text = "?";
    switch (kind) {
    case STEP_PUSH_OPND: text = TEXT_PUSH_OPND; break;
    case STEP_PUSH_OPTR: text = TEXT_PUSH_OPTR; break;
    case STEP_CANCEL: text = TEXT_CANCEL; break;
    case STEP_OPERATE: text = TEXT_OPERATE; break;
    case STEP_RETURN: text = TEXT_RETURN; break;
    case STEP_SYNTAX_ERROR: text = TEXT_SYNTAX_ERROR; break;
    case STEP_DIVIDE_ERROR: text = TEXT_DIVIDE_ERROR; break;
    }
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::vector<StepKind> rows;  /* the kind of each row told */

/* The hook: the line must do the row's action before its STEP, or the
 * child ends with 3; the step's own function and Run, where the run
 * starts, must have their frames on the call stack, or it ends with 7. */
void Hear(StepKind kind, const StepSite &site, char, char, char, int, int) {
    std::string line = SourceLine(site.file, site.line);
    std::size_t does = line.find(Does(kind)), step = line.find("STEP(");
    if (does == std::string::npos || step == std::string::npos || does > step) {
        std::fprintf(stderr, "%s:%d does not do it before its STEP: %s\n", site.file, site.line, line.c_str());
        std::_Exit(3);
    }
    const StepCall *outermost = site.calls;
    while (outermost != nullptr && outermost->caller != nullptr) outermost = outermost->caller;
    if (site.calls == nullptr || std::string(site.calls->func) != site.func || std::string(outermost->func) != "Run") {
        std::fprintf(stderr, "%s:%d: %s has no frame on the call stack\n", site.file, site.line, site.func);
        std::_Exit(7);
    }
    rows.push_back(kind);
}

/* The rows of a trace table: each data row's tab-separated cells. */
std::vector<std::vector<std::string>> TableRows(const std::string &text) {
    std::vector<std::vector<std::string>> table;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line[0] < '1' || line[0] > '9') continue;
        std::vector<std::string> cells;
        std::size_t from = 0, tab;
        while ((tab = line.find('\t', from)) != std::string::npos) {
            cells.push_back(line.substr(from, tab - from));
            from = tab + 1;
        }
        cells.push_back(line.substr(from));
        table.push_back(cells);
    }
    return table;
}

/* At the end of the child's run: the rows told are the rows of the table,
 * one each, with the action of its kind; else the child ends with 4. */
void CompareTable() {
    std::fflush(fp2);
    std::rewind(fp2);
    std::string text;
    for (int ch; (ch = std::getc(fp2)) != EOF;) text += static_cast<char>(ch);
    std::vector<std::vector<std::string>> table = TableRows(text);
    bool same = table.size() == rows.size();
    for (std::size_t k = 0; same && k < rows.size(); k++) same = table[k].back().rfind(Action(rows[k]), 0) == 0;
    if (!same) {
        std::fprintf(stderr, "%zu rows told, %zu in the table\n", rows.size(), table.size());
        std::_Exit(4);
    }
}

/* Runs the expression file at path in the child: Start and Run with the
 * hook, the table into a temporary file; ends with Run's status, or 0. */
void RunFile(const std::string &path) {
    C = '$';
    StepTop = nullptr;
    fp1 = std::fopen(path.c_str(), "r");
    if (fp1 == nullptr || Start() != nullptr) std::_Exit(5);
    std::fclose(fp1);
    fp2 = std::tmpfile();
    if (fp2 == nullptr) std::_Exit(5);
    std::atexit(CompareTable);
    StepHook = Hear;
    Run();
    std::exit(0);
}

/* The child ended as the program does, 0 or -1, and not by a failed check. */
bool EndedAsTheProgram(int status) {
    return testing::ExitedWithCode(0)(status) || testing::ExitedWithCode(255)(status);
}

/* The examples, and two expressions that end in Run's own syntax errors:
 * an operator short of operands, and more than one operand left. */
const char *const EXAMPLES[] = {"brackets.txt", "divide_by_zero.txt", "expr.txt", "last_line.txt",
                                "precedence.txt", "syntax_error.txt"};
const char *const OWN_ERRORS[] = {"1+\n", "(1)(2)\n"};

/* Writes text to a file of that name; returns its name. */
std::string Written(const std::string &name, const char *text) {
    std::FILE *f = std::fopen(name.c_str(), "w");
    if (f != nullptr) {
        std::fputs(text, f);
        std::fclose(f);
    }
    return name;
}

TEST(EvaluatorStepsDeathTest, EveryRowIsToldOnceRightAfterTheLineThatDoesItsAction) {
    for (const char *name : EXAMPLES) {
        EXPECT_EXIT(RunFile(std::string(DSD_SOURCE_DIR) + "/examples/evaluator/" + name),
                    EndedAsTheProgram, "")
            << name;
    }
    for (const char *text : OWN_ERRORS) {
        std::string path = Written("steps_test_expression.txt", text);
        EXPECT_EXIT(RunFile(path), testing::ExitedWithCode(255), "") << text;
        std::remove(path.c_str());
    }
}

/* Runs f(path) in a child process that ends itself, with its stdout into
 * a pipe; returns what it wrote there, and its wait status in *status. */
std::string InChild(void (*f)(const std::string &), const std::string &path, int *status) {
    int ends[2];
    if (pipe(ends) != 0) return "";
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        dup2(ends[1], STDOUT_FILENO);
        f(path);
        std::_Exit(6);
    }
    close(ends[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(got));
    close(ends[0]);
    waitpid(child, status, 0);
    return out;
}

/* The console run's table: Start and Run as main does, result.txt on
 * stdout. */
void ConsoleTable(const std::string &path) {
    C = '$';
    fp1 = std::fopen(path.c_str(), "r");
    if (fp1 == nullptr || Start() != nullptr) std::_Exit(5);
    std::fclose(fp1);
    fp2 = stdout;
    Run();
    std::exit(0);
}

/* The step writer on the file. */
void Writer(const std::string &path) {
    std::vector<char> arg(path.begin(), path.end());
    arg.push_back('\0');
    char name[] = "evaluator";
    char *argv[] = {name, arg.data(), nullptr};
    std::exit(WriteSteps(2, argv));
}

/* A stack in the trace, ["#","("] or [3,12], as the table's column shows
 * it: each element followed by a space. */
std::string AsColumn(const std::string &items) {
    std::string column;
    for (char c : std::regex_replace(items, std::regex("\"(.)\""), "$1")) column += c == ',' ? ' ' : c;
    return items.empty() ? "" : column + " ";
}

/* The field of a step, by a pattern with one group; "" when absent. */
std::string Field(const std::string &step, const char *pattern) {
    std::smatch m;
    return std::regex_search(step, m, std::regex(pattern)) ? m[1].str() : "";
}

TEST(EvaluatorSteps, EachStepHoldsWhatTheConsoleTableShows) {
    std::vector<std::string> paths;
    for (const char *name : EXAMPLES) paths.push_back(std::string(DSD_SOURCE_DIR) + "/examples/evaluator/" + name);
    for (const char *text : OWN_ERRORS) paths.push_back(Written("steps_test_own_" + std::to_string(paths.size()), text));
    for (const std::string &path : paths) {
        SCOPED_TRACE(path);
        int tableStatus = 0, traceStatus = 0;
        std::vector<std::vector<std::string>> table = TableRows(InChild(ConsoleTable, path, &tableStatus));
        std::string trace = InChild(Writer, path, &traceStatus);
        ASSERT_TRUE(WIFEXITED(traceStatus) && WIFEXITED(tableStatus));
        EXPECT_EQ(WEXITSTATUS(traceStatus), WEXITSTATUS(tableStatus));
        bool ok = WEXITSTATUS(tableStatus) == 0;
        EXPECT_NE(trace.find(ok ? "],\"ok\":true,\"stopped\":false}\n" : "],\"ok\":false,\"stopped\":false}\n"),
                  std::string::npos) << trace;
        std::string expression = Field(trace, "\"input\":\\{\"expression\":\"([^\"]*)\"");
        ASSERT_FALSE(expression.empty()) << trace;

        std::vector<std::string> steps;
        for (std::size_t at = trace.find("{\"kind\":"); at != std::string::npos;) {
            std::size_t next = trace.find("{\"kind\":", at + 1);
            steps.push_back(trace.substr(at, next == std::string::npos ? std::string::npos : next - at));
            at = next;
        }
        ASSERT_EQ(steps.size(), table.size()) << trace;
        for (std::size_t k = 0; k < steps.size(); k++) {
            const std::string &step = steps[k];
            const std::vector<std::string> &row = table[k];
            SCOPED_TRACE(step);
            EXPECT_EQ(Field(step, "\"at\":([0-9]+)"), row[0]);
            /* The state after a step is the state the next row starts from. */
            if (k + 1 < table.size()) {
                EXPECT_EQ(AsColumn(Field(step, "\"optr\":\\[([^\\]]*)\\]")), table[k + 1][1]);
                EXPECT_EQ(AsColumn(Field(step, "\"opnd\":\\[([^\\]]*)\\]")), table[k + 1][2]);
            }
            /* What the step read is where the row's unread input begins. */
            std::string from = Field(step, "\"read\":\\{\"from\":([0-9]+)");
            std::string text = Field(step, "\"read\":\\{\"from\":[0-9]+,\"text\":\"([^\"]*)\"");
            ASSERT_FALSE(from.empty());
            std::string rest = expression.substr(std::stoul(from));
            const std::string &column = row[3];
            EXPECT_EQ(rest.rfind(text, 0), 0u);
            EXPECT_TRUE(column.size() >= rest.size() && column.compare(column.size() - rest.size(), rest.size(), rest) == 0 &&
                        column.find_first_not_of(' ') == column.size() - rest.size())
                << column << " | " << rest;
            /* An operate row's action names the operands and operator the
             * step reports, and the next row shows its result on OPND. */
            if (step.find("\"kind\":\"operate\"") != std::string::npos) {
                std::string a = Field(step, "\"a\":(-?[0-9]+)"), b = Field(step, "\"b\":(-?[0-9]+)");
                std::string op = Field(step, "\"op\":\"(.)\"");
                EXPECT_EQ(row.back(), std::string(TEXT_OPERATE) + a + TEXT_BETWEEN + op + TEXT_BETWEEN + b + "\xa1\xaf)");
                std::string next = table[k + 1][2];
                next.pop_back();
                EXPECT_EQ(Field(step, "\"result\":(-?[0-9]+)"), next.substr(next.rfind(' ') + 1));
            }
        }
    }
    for (std::size_t k = 0; k < std::size(OWN_ERRORS); k++)
        std::remove(("steps_test_own_" + std::to_string(std::size(EXAMPLES) + k)).c_str());
}

/* Runs the step writer in the child with its stdout on stderr, where the
 * death test sees it. */
void WriteStepsToStderr(int argc, char **argv) {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    std::exit(WriteSteps(argc, argv));
}

TEST(EvaluatorStepsDeathTest, ADivisionByZeroIsToldOnceFromCalculate) {
    std::string path = std::string(DSD_SOURCE_DIR) + "/examples/evaluator/divide_by_zero.txt";
    std::vector<char> arg(path.begin(), path.end());
    arg.push_back('\0');
    char name[] = "evaluator";
    char *argv[] = {name, arg.data(), nullptr};
    /* Row 8 cancels the brackets; row 9 is the division's, told from
     * Calculate alone, after its operands were popped. */
    EXPECT_EXIT(WriteStepsToStderr(2, argv), testing::ExitedWithCode(255),
                "\"at\":8,[^{]*\\{[^{}]*\\}[^{}]*\"op\":\"\\(\",\"popped\":\\{[^{}]*\\}\\},"
                "\\{\"kind\":\"divide_error\",\"src\":\\{\"file\":\"evaluator/scanner.cpp\","
                "\"line\":[0-9]+,\"func\":\"Calculate\"\\},\"chain\":\\[\"Run\",\"Calculate\"\\],\"at\":9,"
                "\"optr\":\\[\"#\"\\],\"opnd\":\\[\\],[^{}]*\\{[^{}]*\\}[^{}]*\"a\":8,\"op\":\"/\",\"b\":0,"
                "\"popped\":\\{\"optr\":\\[\"/\"\\],\"opnd\":\\[8,0\\]\\}\\}\\],"
                "\"ok\":false,\"stopped\":false\\}");
}

/* The writer runs in the test's own process, after whatever other tests
 * left in the program's globals, and starts from where the console
 * program starts all the same. */
TEST(EvaluatorSteps, TheWriterDescribesEachRowWithItsLine) {
    std::string path = std::string(DSD_SOURCE_DIR) + "/examples/evaluator/expr.txt";
    std::vector<char> arg(path.begin(), path.end());
    arg.push_back('\0');
    char name[] = "evaluator";
    char *argv[] = {name, arg.data(), nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(WriteSteps(2, argv), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("{\"program\":\"evaluator\",\"input\":{\"expression\":\"3*(7-2)#\"},\"steps\":"
                        "[{\"kind\":\"push_opnd\",\"src\":{\"file\":\"evaluator/driver.cpp\"", 0), 0u) << out;
    EXPECT_NE(out.find("\"kind\":\"return\",\"src\":{\"file\":\"evaluator/driver.cpp\","), std::string::npos) << out;
    EXPECT_NE(out.find("\"value\":15,\"popped\":{\"optr\":[],\"opnd\":[15]}}],\"ok\":true,\"stopped\":false}\n"), std::string::npos) << out;
}

}  // namespace
