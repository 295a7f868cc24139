/* call_path.cpp -- the stack of the program's functions, kept by the calls
 * that -finstrument-functions puts at the entry and the return of each of
 * them (see call_path.h). */
#include "call_path.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr int DEPTH = 1024;     /* deeper than any run of the programs goes */
void *running[DEPTH];           /* the functions entered and not yet returned */
int depth;                      /* how many; may pass DEPTH, then the rest is not kept */

/* The symbol of the function at fn that the executable's own symbol table
 * (.symtab) names, or "" when it has none. dladdr knows only the exported
 * symbols, so a function with internal linkage (static) is found here: the
 * file /proc/self/exe is read once, and its functions' addresses are moved
 * by base, where the executable was loaded. */
std::string LocalSymbol(void *fn, const void *base) {
    static std::string image;
    if (image.empty()) {
        std::ifstream in("/proc/self/exe", std::ios::binary);
        image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (image.size() < sizeof(ElfW(Ehdr))) return "";
    ElfW(Ehdr) header;
    std::memcpy(&header, image.data(), sizeof header);
    for (int k = 0; k < header.e_shnum; k++) {
        ElfW(Shdr) table, names;
        std::memcpy(&table, image.data() + header.e_shoff + k * sizeof table, sizeof table);
        if (table.sh_type != SHT_SYMTAB) continue;
        std::memcpy(&names, image.data() + header.e_shoff + table.sh_link * sizeof names, sizeof names);
        for (std::size_t at = 0; at + sizeof(ElfW(Sym)) <= table.sh_size; at += sizeof(ElfW(Sym))) {
            ElfW(Sym) symbol;
            std::memcpy(&symbol, image.data() + table.sh_offset + at, sizeof symbol);
            std::uintptr_t address = symbol.st_value;
            if (header.e_type == ET_DYN) address += reinterpret_cast<std::uintptr_t>(base);
            if (ELF64_ST_TYPE(symbol.st_info) == STT_FUNC && address == reinterpret_cast<std::uintptr_t>(fn))
                return image.data() + names.sh_offset + symbol.st_name;
        }
    }
    return "";
}

/* The plain name of the function at address fn: its symbol demangled,
 * without its parameter list; "?" and the address when there is none. */
std::string NameOf(void *fn) {
    Dl_info info;
    if (dladdr(fn, &info) != 0) {
        std::string symbol = info.dli_sname != nullptr && info.dli_saddr == fn
                                 ? info.dli_sname : LocalSymbol(fn, info.dli_fbase);
        if (!symbol.empty()) {
            int status = 0;
            char *plain = abi::__cxa_demangle(symbol.c_str(), nullptr, nullptr, &status);
            std::string name = status == 0 && plain != nullptr ? plain : symbol;
            std::free(plain);
            return name.substr(0, name.find('('));
        }
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
