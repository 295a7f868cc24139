/* Unit tests of the step hook (step.h) and the step writer: on every
 * example, each row of the trace table is told to the hook once, from a
 * line that does the row's action. The examples that end in an error end
 * the program, so each runs in a child process. */
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"
#include "source_line.h"
#include "state.h"
#include "step.h"
#include "texts.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

/* What the line of each kind of row must do. */
const char *Does(StepKind kind, const std::string &line) {
    switch (kind) {
    case STEP_PUSH_OPND: return "PushTq(&OPND, Value)";
    case STEP_PUSH_OPTR: return "PushSq(&OPTR, C)";
    case STEP_CANCEL: return "PopSq(&OPTR";
    case STEP_OPERATE: return "PushTq(&OPND, Calculate(";
    case STEP_RETURN: return "PopTq(&OPND";
    case STEP_ERROR: return line.find("TEXT_DIVIDE_ERROR") != std::string::npos ? "TEXT_DIVIDE_ERROR"
                                                                                 : "TEXT_SYNTAX_ERROR";
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
    case STEP_ERROR: text = ""; break;
    }
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::vector<StepKind> rows;  /* the kind of each row told, the last one replaced */
std::string table;           /* where the rows went: the run's trace file */

/* The hook: the line must do the row's action, or the child ends with 3.
 * A division by zero is told inside its operate row: it stands for it. */
void Hear(StepKind kind, const StepSite &site) {
    std::string line = SourceLine(site.file, site.line);
    if (line.find(Does(kind, line)) == std::string::npos) {
        std::fprintf(stderr, "%s:%d does not do it: %s\n", site.file, site.line, line.c_str());
        std::_Exit(3);
    }
    if (kind == STEP_ERROR && !rows.empty() && rows.back() == STEP_OPERATE &&
        line.find("TEXT_DIVIDE_ERROR") != std::string::npos)
        rows.back() = kind;
    else
        rows.push_back(kind);
}

/* At the end of the child's run: the rows told are the rows of the table,
 * each with the action of its kind; else the child ends with 4. */
void CompareTable() {
    std::fflush(fp2);
    std::rewind(fp2);
    std::vector<std::string> actions;
    std::string line;
    int ch;
    while ((ch = std::getc(fp2)) != EOF || !line.empty()) {
        if (ch != EOF && ch != '\n') {
            line += static_cast<char>(ch);
            continue;
        }
        if (!line.empty() && line[0] >= '1' && line[0] <= '9') actions.push_back(line.substr(line.rfind('\t') + 1));
        line.clear();
        if (ch == EOF) break;
    }
    bool same = actions.size() == rows.size();
    for (std::size_t k = 0; same && k < rows.size(); k++)
        same = actions[k].rfind(Action(rows[k]), 0) == 0;
    if (!same) {
        std::fprintf(stderr, "%zu rows told, %zu in the table\n", rows.size(), actions.size());
        std::_Exit(4);
    }
}

/* Runs the expression file at path in the child: Start and Run with the
 * hook, the table into a temporary file; ends with Run's status, or 0. */
void RunFile(const std::string &path) {
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

TEST(EvaluatorStepsDeathTest, EveryRowIsToldFromTheLineThatDoesItsAction) {
    for (const char *name : {"brackets.txt", "divide_by_zero.txt", "expr.txt", "last_line.txt",
                             "precedence.txt", "syntax_error.txt"}) {
        EXPECT_EXIT(RunFile(std::string(DSD_SOURCE_DIR) + "/examples/evaluator/" + name),
                    EndedAsTheProgram, "")
            << name;
    }
    /* Operators short of operands, and more than one operand left at the
     * end: Run's own syntax errors. */
    for (const char *text : {"1+\n", "(1)(2)\n"}) {
        const char *path = "steps_test_expression.txt";
        std::FILE *f = std::fopen(path, "w");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
        EXPECT_EXIT(RunFile(path), testing::ExitedWithCode(255), "") << text;
        std::remove(path);
    }
}

/* Runs the step writer in the child with its stdout on stderr, where the
 * death test sees it. */
void WriteStepsToStderr(int argc, char **argv) {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    std::exit(WriteSteps(argc, argv));
}

TEST(EvaluatorStepsDeathTest, TheWriterKeepsTheRowsBeforeADivisionByZero) {
    std::string path = std::string(DSD_SOURCE_DIR) + "/examples/evaluator/divide_by_zero.txt";
    std::vector<char> arg(path.begin(), path.end());
    arg.push_back('\0');
    char name[] = "evaluator";
    char *argv[] = {name, arg.data(), nullptr};
    /* The last row is the division's, told from Calculate. */
    EXPECT_EXIT(WriteStepsToStderr(2, argv), testing::ExitedWithCode(255),
                "\"row\":9,\"src\":\\{\"file\":\"evaluator/scanner.cpp\",\"line\":[0-9]+,"
                "\"func\":\"Calculate\",\"chain\":\\[\"Run\",\"Calculate\"\\]\\},"
                "\"action\":\"error\"\\}\\],\"ok\":false,\"stopped\":\"run\"\\}");
}

TEST(EvaluatorSteps, TheWriterDescribesEachRowWithItsLine) {
    std::string path = std::string(DSD_SOURCE_DIR) + "/examples/evaluator/expr.txt";
    std::vector<char> arg(path.begin(), path.end());
    arg.push_back('\0');
    char name[] = "evaluator";
    char *argv[] = {name, arg.data(), nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(WriteSteps(2, argv), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("{\"program\":\"evaluator\",\"steps\":[{\"row\":1,\"src\":"
                        "{\"file\":\"evaluator/driver.cpp\"", 0), 0u) << out;
    EXPECT_NE(out.find("\"action\":\"RETURN(GETTOP(OPND))\"}],\"ok\":true}\n"), std::string::npos) << out;
}

}  // namespace
