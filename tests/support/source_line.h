/* source_line.h -- what the step hooks' tests read from the source tree.
 *
 * DSD_SOURCE_DIR, the project's folder, is given to the tests that include
 * this (tests/CMakeLists.txt, add_step_tests). */
#ifndef TEST_SUPPORT_SOURCE_LINE_H
#define TEST_SUPPORT_SOURCE_LINE_H

#include <fstream>
#include <sstream>
#include <string>

/* The text of line `line` (counted from 1) of `file`, a path relative to
 * the project's folder as a step's site names it; empty when there is no
 * such line. */
inline std::string SourceLine(const char *file, int line) {
    std::ifstream in(std::string(DSD_SOURCE_DIR) + "/" + file);
    std::string text;
    for (int k = 0; k < line && std::getline(in, text); k++) {
    }
    return in ? text : std::string();
}

/* The bytes of `file`, a path relative to the project's folder. */
inline std::string SourceFile(const std::string &file) {
    std::ifstream in(std::string(DSD_SOURCE_DIR) + "/" + file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

#endif
