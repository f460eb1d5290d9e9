// The built Dayglass2.dylib, checked as a file: its only module initialiser of our
// own is tweakConstructor. Any variable with a constructor or destructor anywhere
// in the extension would add a per-file initialiser ("_GLOBAL__sub_I_…").
#include <gtest/gtest.h>

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Symbol {
    std::string name;
    unsigned char type;
    Elf64_Section section;
};

std::vector<Symbol> symbolsOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes { std::istreambuf_iterator<char>(file), {} };
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(bytes.data());
    if (bytes.size() < sizeof(Elf64_Ehdr) || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0)
        return {};
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(bytes.data() + header->e_shoff);
    std::vector<Symbol> symbols;
    for (int i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_SYMTAB)
            continue;
        const char* names = bytes.data() + sections[sections[i].sh_link].sh_offset;
        const auto* entries = reinterpret_cast<const Elf64_Sym*>(bytes.data() + sections[i].sh_offset);
        for (std::size_t j = 0; j < sections[i].sh_size / sizeof(Elf64_Sym); ++j)
            symbols.push_back({ names + entries[j].st_name,
                static_cast<unsigned char>(ELF64_ST_TYPE(entries[j].st_info)), entries[j].st_shndx });
    }
    return symbols;
}

} // namespace

TEST(Dayglass2Module, TheOnlyInitialiserIsTweakConstructor)
{
    const std::vector<Symbol> symbols = symbolsOf(DAYGLASS2_MODULE);
    ASSERT_FALSE(symbols.empty()) << "no symbol table in " << DAYGLASS2_MODULE;
    bool constructorDefined = false;
    for (const Symbol& symbol : symbols) {
        EXPECT_NE(symbol.name.rfind("_GLOBAL__sub_I_", 0), 0u) << symbol.name;
        if (symbol.name == "tweakConstructor" && symbol.type == STT_FUNC && symbol.section != SHN_UNDEF)
            constructorDefined = true;
    }
    EXPECT_TRUE(constructorDefined);
}
