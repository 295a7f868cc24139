/* call_path.cpp -- the stack of the program's functions, kept by the calls
 * that -finstrument-functions puts at the entry and the return of each of
 * them (see call_path.h). */
#include "call_path.h"

#include <cxxabi.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int DEPTH = 1024;     /* deeper than any run of the programs goes */
void *running[DEPTH];           /* the functions entered and not yet returned */
int depth;                      /* how many; may pass DEPTH, then the rest is not kept */

/* The plain name of the function at address fn: its symbol demangled,
 * without its parameter list; "?" and the address when there is none. */
std::string NameOf(void *fn) {
    Dl_info info;
    if (dladdr(fn, &info) != 0 && info.dli_sname != nullptr && info.dli_saddr == fn) {
        int status = 0;
        char *plain = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
        std::string name = status == 0 && plain != nullptr ? plain : info.dli_sname;
        std::free(plain);
        return name.substr(0, name.find('('));
    }
    char address[32];
    std::snprintf(address, sizeof address, "?%p", fn);
    return address;
}

}  // namespace

std::vector<std::string> CallPath() {
    std::vector<std::string> names;
    for (int k = 0; k < depth && k < DEPTH; k++) names.push_back(NameOf(running[k]));
    return names;
}

/* Called by the instrumented code; never instrumented themselves, as this
 * file is compiled without the option. */
extern "C" void __cyg_profile_func_enter(void *fn, void *) {
    if (depth < DEPTH) running[depth] = fn;
    depth++;
}

extern "C" void __cyg_profile_func_exit(void *, void *) {
    if (depth > 0) depth--;
}
