// The registry export writer on arbitrary key trees: names and data of every type, odd-length
// and NUL-holding texts, unpaired surrogates. The file must read back as REGEDIT5 with the same
// keys and values.
#include "FuzzInput.h"
#include "Regedit5Reader.h"

#include "sim/Machine.h"
#include "sim/RegExport.h"

namespace {

const wchar_t kExported[] = L"HKEY_CURRENT_USER\\Software\\Fuzz";
// The export stops below this depth (a link loop); the fuzzer's trees are not that deep.
const size_t kMaxDepth = 512;

// A name from the input: UTF-16 units (an odd last byte dropped).
std::wstring Name(fuzz::InputReader& input) {
    size_t length = input.Byte() % 24;
    return sim::FromUtf16Le(input.Bytes(length * 2));
}

// Builds the tree: each step creates a subkey and enters it, leaves the key, or sets a value.
void Build(fuzz::InputReader& input, sim::RegKey& top) {
    std::vector<sim::RegKey*> stack{&top};
    while (!input.Empty()) {
        uint8_t step = input.Byte();
        if (step % 3 == 0) {
            std::wstring name = Name(input);
            // A key name is not empty, has no backslash and no line break.
            if (name.empty() || name.find_first_of(L"\\\r\n") != std::wstring::npos ||
                name.find(L'\0') != std::wstring::npos) {
                continue;
            }
            stack.push_back(&stack.back()->CreateSubkey(name));
        } else if (step % 3 == 1) {
            if (stack.size() > 1) {
                stack.pop_back();
            }
        } else {
            std::wstring name = Name(input);
            DWORD type = input.Byte() % 12;
            std::string data = input.Bytes(input.Byte());
            stack.back()->SetValue(name, type, data);
        }
    }
}

std::wstring UpToNul(const std::wstring& text) {
    return text.substr(0, text.find(L'\0'));
}

// What the file must hold for a key and its subtree, in the order it is written.
void Expect(sim::RegKey& key, const std::wstring& path, size_t depth,
            std::vector<fuzz::Regedit5Key>& keys) {
    if (depth > kMaxDepth) {
        return;
    }
    fuzz::Regedit5Key expected{path, {}};
    for (const sim::RegValue& value : key.Values()) {
        fuzz::Regedit5Value item;
        item.name = UpToNul(value.name);
        item.type = value.type;
        if (value.type == REG_SZ) {
            item.text = UpToNul(sim::FromUtf16Le(value.data));
        } else {
            item.data = value.data;
        }
        expected.values.push_back(item);
    }
    keys.push_back(expected);
    for (size_t i = 0; i < key.SubkeyCount(); ++i) {
        sim::RegKey& subkey = key.Subkey(i);
        Expect(subkey, path + L"\\" + subkey.Name(), depth + 1, keys);
    }
}

bool Same(const fuzz::Regedit5Value& a, const fuzz::Regedit5Value& b) {
    return a.name == b.name && a.type == b.type && a.text == b.text && a.data == b.data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sim::InstallMachine(sim::Machine::Empty());
    sim::RegKey& top = sim::CurrentMachine().registry.CreateKey(kExported);
    fuzz::InputReader input(data, size);
    Build(input, top);

    std::string file;
    DWORD exitCode = 1;
    if (!sim::ExportRegistryKey(L"HKCU\\Software\\Fuzz", file, exitCode) || exitCode != 0) {
        __builtin_trap();
    }
    std::vector<fuzz::Regedit5Key> read;
    std::string error;
    if (!fuzz::ReadRegedit5(file, read, error)) {
        std::fprintf(stderr, "export does not read back: %s\n", error.c_str());
        __builtin_trap();
    }
    std::vector<fuzz::Regedit5Key> expected;
    Expect(top, kExported, 2, expected);
    bool same = read.size() == expected.size();
    for (size_t k = 0; same && k < read.size(); ++k) {
        same =
            read[k].path == expected[k].path && read[k].values.size() == expected[k].values.size();
        for (size_t v = 0; same && v < read[k].values.size(); ++v) {
            same = Same(read[k].values[v], expected[k].values[v]);
        }
        if (!same) {
            std::fprintf(stderr, "key %zu differs after the round trip\n", k);
        }
    }
    if (!same) {
        __builtin_trap();
    }
    return 0;
}
