// The reader of Wine's registry files ("WINE REGISTRY Version 2"): key lines "[path] time",
// values "name"=data in Wine's escaped notation, hex data continued over lines, and the options
// #arch=, #link, #time=, #class=.
#include "sim/LineReader.h"
#include "sim/MappedFile.h"
#include "sim/Names.h"
#include "sim/Registry.h"
#include "sim/RegistryFileText.h"
#include "sim/RegistryPaths.h"
#include "sim/WinePrefix.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <pthread.h>
#include <sched.h>
#include <string_view>
#include <thread>

namespace sim {

namespace {

const char kFileSignature[] = "WINE REGISTRY Version 2";

// Keys down to this depth below the key a file is loaded into are created on loading (there are
// few of them); the keys below when their parents' subkeys are first used.
const size_t kEagerDepth = 2;

// A file is checked in pieces of at least this many bytes, one thread each, as far as the
// machine has processors for them.
const size_t kMinPieceBytes = size_t{512} << 10;
const unsigned kMaxPieces = 8;
// A checking thread keeps this much of the text it has checked mapped.
const size_t kCheckedKept = size_t{8} << 20;

// The text of a registry file (a MappedFile), shared by the keys whose values are still to be
// read from it.
class FileText : public PendingValues {
public:
    // False when the file cannot be opened or read.
    bool Open(const std::string& path) { return m_File.Open(path); }
    std::string_view Text() const { return m_File.Text(); }
    void Reached(size_t offset) { m_File.Reached(offset); }
    void LetGo(size_t from, size_t to) const { m_File.LetGo(from, to); }

    void ReadInto(RegKey& key, size_t offset, size_t line) override;

    const std::wstring& NextName(size_t& pos, bool& more, bool& sameAsBefore) override {
        std::string_view text = Text();
        // Key lines listed together mostly begin their rest alike: a name spelt as the one before
        // (with the character after it) is that name again.
        size_t start = pos;
        if (m_LastNameLength != 0 && start + m_LastNameLength < text.size() &&
            std::memcmp(text.data() + start, text.data() + m_LastNamePos, m_LastNameLength + 1) ==
                0) {
            pos += m_LastNameLength;
            more = m_LastMore;
            sameAsBefore = true;
            return m_LastName;
        }
        sameAsBefore = false;
        m_LastName.clear();
        more = false;
        while (pos < text.size()) {
            size_t plain = PlainLength(text.data() + pos, text.size() - pos, ']');
            size_t had = m_LastName.size();
            m_LastName.resize(had + plain);
            Widen(text.data() + pos, plain, &m_LastName[had]);
            pos += plain;
            if (pos == text.size() || text[pos++] == ']') {
                break;
            }
            wchar_t decoded = pos < text.size() ? DecodeEscape(text, pos) : L'\\';
            if (decoded == L'\\') {
                // One trailing backslash ends the path.
                more = pos < text.size() && text[pos] != ']';
                break;
            }
            m_LastName += decoded;
        }
        m_LastNamePos = start;
        m_LastNameLength = pos - start;
        m_LastMore = more;
        return m_LastName;
    }

    uint32_t NameHashAt(size_t pos) override {
        // A name without escapes is hashed where it stands; one with escapes is decoded first.
        std::string_view text = Text();
        size_t end = pos + PlainLength(text.data() + pos, text.size() - pos, ']');
        if (end + 1 < text.size() && text[end] == '\\' && text[end + 1] != '\\') {
            bool more = false;
            bool same = false;
            return NameHash(NextName(pos, more, same));
        }
        uint32_t hash = kNameHashStart;
        for (size_t at = pos; at < end; ++at) {
            hash = NameHashStep(hash, static_cast<wchar_t>(static_cast<unsigned char>(text[at])));
        }
        return hash;
    }

private:
    MappedFile m_File;
    // The name NextName read last, and where.
    size_t m_LastNamePos = 0;
    size_t m_LastNameLength = 0;
    std::wstring m_LastName;
    bool m_LastMore = false;
};

// Parses the lines of a registry file. Loading a file indexes it: every line is checked
// (problems are reported with their line), the keys of the first levels are created, and each
// deeper key line is kept where its path leaves them (see kEagerDepth). Each key keeps where its
// values are; they are read, by a parser of that key's lines alone, when the key's values are
// first used.
//
// A large file is indexed in pieces that begin at a line of their own (never one that goes on
// a hex value of the line before). While this loader indexes the first piece, one thread for each
// other piece checks its lines and notes where its key lines and options are; those are the only
// lines whose indexing does more than check. A piece found whole then has only its noted lines
// indexed; a piece with any problem is indexed line by line, as if it had not been checked, so
// that its problems and keys are those of a file read in one go.
class RegistryFileLoader {
public:
    // Indexes a whole file.
    RegistryFileLoader(const std::string& path, FileText& file, RegKey& branch, std::string& arch,
                       std::vector<std::string>& problems)
        : m_FilePath(path), m_File(&file), m_Reader(file.Text()), m_Branch(&branch), m_Arch(&arch),
          m_Problems(&problems), m_Pass(Pass::Index) {}
    // Reads the values of one key from offset on, up to the next key line.
    RegistryFileLoader(FileText& file, size_t offset, size_t line, RegKey& key)
        : m_File(&file), m_Reader(file.Text(), offset, line), m_Key(&key), m_Pass(Pass::Values) {}

    // Indexes the file in the given number of pieces at most (0: as many as are worth it).
    bool Load(unsigned pieces) {
        std::string_view line;
        if (!m_Reader.Next(line) || line != kFileSignature) {
            Problem("not a Wine registry file (the first line is not \"" +
                    std::string(kFileSignature) + "\")");
            return false;
        }
        std::string_view text = m_File->Text();
        std::vector<size_t> bounds = PieceBounds(text, m_Reader.Offset(), pieces);
        std::vector<PieceCheck> checks(bounds.size() - 2);
        {
            std::vector<std::thread> threads;
            // The threads are waited for however the first piece ends.
            struct Joiner {
                std::vector<std::thread>& threads;
                ~Joiner() {
                    for (std::thread& thread : threads) {
                        thread.join();
                    }
                }
            } joiner{threads};
            int loadingCpu = sched_getcpu();
            for (size_t i = 0; i < checks.size(); ++i) {
                threads.emplace_back([this, &checks, &bounds, i] {
                    checks[i] = CheckPiece(bounds[i + 1], bounds[i + 2]);
                });
                LeaveCpu(threads.back().native_handle(), loadingCpu);
            }
            IndexUpTo(bounds[1]);
        }
        for (size_t i = 0; i < checks.size(); ++i) {
            size_t first = m_Reader.Number() + 1;
            if (checks[i].whole) {
                IndexNoted(checks[i].noted, first);
                m_Reader = LineReader(text, bounds[i + 2], first + checks[i].lines);
            } else {
                m_Reader = LineReader(text, bounds[i + 1], first);
                IndexUpTo(bounds[i + 2]);
            }
        }
        return true;
    }

    void ReadKey() {
        std::string_view line;
        while (m_Reader.Next(line)) {
            size_t pos = 0;
            SkipBlanks(line, pos);
            if (pos < line.size() && line[pos] == '[') {
                return;
            }
            ParseLine(line);
        }
    }

private:
    enum class Pass { Index, Check, Values };

    // A line of a piece that indexing must see: where it begins, its number in the piece (from
    // 1) and where the line after it begins. A key line below the first levels whose first names
    // are those of the key line before (the most common kind) is noted with what indexing it does,
    // so that it is indexed without reading its text again: its text (from its name on), where its
    // path leaves the first levels and where its values begin.
    struct NotedLine {
        size_t offset = 0;
        size_t line = 0;
        bool deepBelowLast = false;
        size_t rawOffset = 0;
        size_t rawLength = 0;
        size_t pathOffset = 0;
        size_t valuesOffset = 0;
    };
    // What checking a piece found: whether it is whole (no problem), its lines that indexing
    // must see, and how many lines it has.
    struct PieceCheck {
        bool whole = false;
        std::vector<NotedLine> noted;
        size_t lines = 0;
    };

    // Checks the lines from begin to end.
    RegistryFileLoader(FileText& file, size_t begin)
        : m_File(&file), m_Reader(file.Text(), begin, 1), m_Pass(Pass::Check) {}

    PieceCheck CheckPiece(size_t begin, size_t end) const {
        PieceCheck check;
        try {
            RegistryFileLoader checker(*m_File, begin);
            // Room for the notes of a piece of short keys, made once rather than by doubling.
            checker.m_Noted.reserve((end - begin) / 512);
            std::string_view line;
            // What a piece has checked is let go of as the loading thread lets go of what it has
            // indexed: a whole piece is indexed from its notes, not read again.
            size_t kept = begin;
            while (!checker.m_Broken && checker.m_Reader.Offset() < end) {
                size_t offset = checker.m_Reader.Offset();
                if (offset >= kept + 2 * kCheckedKept) {
                    m_File->LetGo(kept, offset - kCheckedKept);
                    kept = offset - kCheckedKept;
                }
                checker.m_Reader.Next(line);
                size_t noted = checker.m_Noted.size();
                checker.ParseLine(line);
                if (checker.m_Noted.size() != noted) {
                    checker.m_Noted.back().offset = offset;
                    checker.m_Noted.back().line = checker.m_Reader.Number();
                    checker.m_Noted.back().valuesOffset = checker.m_Reader.Offset();
                }
            }
            check.whole = !checker.m_Broken;
            check.noted = std::move(checker.m_Noted);
            check.lines = checker.m_Reader.Number();
        } catch (...) {
            // Indexing the piece line by line meets the failure again, where it can be reported.
            check.whole = false;
        }
        return check;
    }

    // The pieces' bounds: the start of the first, the start of each other, the end of the text.
    static std::vector<size_t> PieceBounds(std::string_view text, size_t start, unsigned pieces) {
        size_t size = text.size();
        if (pieces == 0) {
            pieces = std::min({std::max(std::thread::hardware_concurrency(), 1U), kMaxPieces,
                               static_cast<unsigned>(
                                   std::min<size_t>((size - start) / kMinPieceBytes, kMaxPieces))});
        }
        std::vector<size_t> bounds{start};
        // The first piece is indexed while the others are checked, and a thread of its own checks
        // a line more slowly than the loading thread indexes one (it starts with cold caches):
        // the first piece is made a little larger, so that it is indexed about when the others
        // are checked.
        double first = 1.1;
        double share = static_cast<double>(size - start) / (first + (pieces - 1));
        for (unsigned i = 1; i < pieces; ++i) {
            auto target = start + static_cast<size_t>(share * (first + (i - 1)));
            size_t bound = LineStartAfter(text, std::max(target, bounds.back() + 1));
            if (bound >= size) {
                break;
            }
            bounds.push_back(bound);
        }
        bounds.push_back(size);
        return bounds;
    }

    // The start of the first line at or after pos (after the line pos is in) that no hex value
    // of the line before goes on into; the text's size when there is none.
    static size_t LineStartAfter(std::string_view text, size_t pos) {
        while (pos < text.size()) {
            const void* newline = std::memchr(text.data() + pos, '\n', text.size() - pos);
            if (newline == nullptr) {
                return text.size();
            }
            size_t end = static_cast<size_t>(static_cast<const char*>(newline) - text.data());
            size_t last = end;
            while (last > 0 && text[last - 1] == '\r') {
                --last;
            }
            pos = end + 1;
            if (last == 0 || text[last - 1] != '\\') {
                return pos;
            }
        }
        return text.size();
    }

    // Indexes the noted lines of a whole piece whose first line has the number first.
    void IndexNoted(const std::vector<NotedLine>& notes, size_t first) {
        std::string_view line;
        for (const NotedLine& noted : notes) {
            if (noted.deepBelowLast && m_KeyValid && m_Walked.size() == kEagerDepth) {
                IndexDeepKey(noted, first + noted.line - 1);
            } else {
                m_Reader = LineReader(m_File->Text(), noted.offset, first + noted.line - 1);
                m_Reader.Next(line);
                ParseLine(line);
            }
            m_File->Reached(noted.valuesOffset);
        }
    }

    // What ParseKey does for a key line noted as deep below the last one: its first names are
    // those walked for the key line before, so only the rest is deferred.
    void IndexDeepKey(const NotedLine& noted, size_t line) {
        m_Key = nullptr;
        m_IsLink = false;
        m_LastRaw = std::string_view(m_File->Text().data() + noted.rawOffset, noted.rawLength);
        m_Deferring = m_Walked.back();
        m_Deferring->DeferSubkey(
            DeferredKey{m_File, noted.pathOffset, noted.valuesOffset, line + 1, false});
    }

    // Moves a thread just made off the processor of the thread that made it. A new thread is
    // queued on that processor, and runs there only when the thread that made it lets go of it;
    // the scheduler would move it to an idle processor only after a millisecond or more, about
    // the time a piece takes. Moved by the thread that made it, it starts at once.
    static void LeaveCpu(pthread_t thread, int cpu) {
        cpu_set_t allowed;
        if (cpu < 0 || pthread_getaffinity_np(thread, sizeof allowed, &allowed) != 0 ||
            !CPU_ISSET(cpu, &allowed) || CPU_COUNT(&allowed) < 2) {
            return;
        }
        CPU_CLR(cpu, &allowed);
        pthread_setaffinity_np(thread, sizeof allowed, &allowed);
    }

    // How many bytes two texts begin with alike.
    static size_t CommonLength(std::string_view one, std::string_view other) {
        size_t limit = std::min(one.size(), other.size());
        size_t i = 0;
        for (; i + 8 <= limit; i += 8) {
            uint64_t a = 0;
            uint64_t b = 0;
            std::memcpy(&a, one.data() + i, 8);
            std::memcpy(&b, other.data() + i, 8);
            if (a != b) {
                break;
            }
        }
        while (i < limit && one[i] == other[i]) {
            ++i;
        }
        return i;
    }

    // Indexes lines until the one that begins at end.
    void IndexUpTo(size_t end) {
        std::string_view line;
        while (m_Reader.Offset() < end && m_Reader.Next(line)) {
            ParseLine(line);
            m_File->Reached(m_Reader.Offset());
        }
    }

    void Problem(const std::string& what) {
        if (m_Pass == Pass::Check) {
            m_Broken = true;
            return;
        }
        if (m_Problems == nullptr) {
            // Reading a key's values again: its problems were reported when the file was indexed.
            return;
        }
        m_Problems->push_back(m_FilePath + ":" + std::to_string(m_Reader.Number()) + ": " + what);
    }

    void ParseLine(std::string_view line) {
        size_t pos = 0;
        SkipBlanks(line, pos);
        if (pos == line.size()) {
            return;
        }
        switch (line[pos]) {
        case '[':
            ParseKey(line, pos + 1);
            break;
        case '@':
            ++pos;
            m_Name.clear();
            ParseValue(line, pos);
            break;
        case '"':
            ++pos;
            if (!(m_Pass != Pass::Values ? SkipString(line, pos, '"')
                                         : ParseString(line, pos, '"', m_Name))) {
                Problem("unterminated value name");
                return;
            }
            ParseValue(line, pos);
            break;
        case '#':
            ParseOption(line.substr(pos));
            break;
        case ';':
            break;
        default:
            Problem("unrecognised line");
        }
    }

    void ParseKey(std::string_view line, size_t pos) {
        m_Key = nullptr;
        m_Deferring = nullptr;
        m_KeyValid = false;
        m_IsLink = false;
        std::string_view raw = line.substr(pos);
        // Files list a key's subkeys after it: the names this key line shares with the last one
        // were checked then, and they lead to the keys walked then. They are seen in the text
        // itself, up to the last separator the two lines have in common before any other escape;
        // only the rest is decoded. Where each name after the first begins is noted.
        m_Starts.clear();
        size_t base = 0;
        size_t rest = 0;
        size_t common = CommonLength(raw, m_LastRaw);
        const void* close = std::memchr(raw.data(), ']', common);
        size_t end = close == nullptr
                         ? common
                         : static_cast<size_t>(static_cast<const char*>(close) - raw.data());
        for (size_t i = 0; i < end;) {
            const void* escape = std::memchr(raw.data() + i, '\\', end - i);
            if (escape == nullptr) {
                break;
            }
            i = static_cast<size_t>(static_cast<const char*>(escape) - raw.data());
            if (i + 1 >= common || raw[i + 1] != '\\') {
                break;
            }
            i += 2;
            ++base;
            rest = i;
            m_Starts.push_back(i);
        }
        // The rest decoded as ParseString decodes, through a pointer into room for one character
        // for each byte.
        m_Text.resize(raw.size() - rest);
        wchar_t* decodedText = &m_Text[0];
        size_t decodedLength = 0;
        bool closed = false;
        while (rest < raw.size()) {
            size_t plain = PlainLength(raw.data() + rest, raw.size() - rest, ']');
            Widen(raw.data() + rest, plain, decodedText + decodedLength);
            decodedLength += plain;
            rest += plain;
            if (rest == raw.size()) {
                break;
            }
            if (raw[rest++] == ']') {
                closed = true;
                break;
            }
            if (rest == raw.size()) {
                break;
            }
            wchar_t decoded = DecodeEscape(raw, rest);
            if (decoded == L'\\') {
                m_Starts.push_back(rest);
            }
            decodedText[decodedLength++] = decoded;
        }
        m_Text.resize(decodedLength);
        if (!closed) {
            Problem("unterminated key name");
            return;
        }
        // Only names down to the first levels are made keys now.
        size_t count = 0;
        if (!SplitKeyPath(m_Text, m_Parts, count, base < kEagerDepth ? kEagerDepth - base : 0)) {
            Problem("malformed key name");
            return;
        }
        if (m_Pass == Pass::Check) {
            m_LastRaw = raw;
            NotedLine& noted = m_Noted.emplace_back();
            if (base >= kEagerDepth && base + count > kEagerDepth) {
                noted.deepBelowLast = true;
                noted.rawOffset = static_cast<size_t>(raw.data() - m_File->Text().data());
                noted.rawLength = raw.size();
                noted.pathOffset = noted.rawOffset + m_Starts[kEagerDepth - 1];
            }
            return;
        }
        // The first names are made keys now; a path that goes deeper is kept at its key of that
        // depth, and the keys below are created when that key's subkeys are first used.
        size_t total = base + count;
        size_t eager = std::min(total, kEagerDepth);
        size_t shared = std::min({base, m_Walked.size(), eager});
        while (shared < eager && shared >= base && shared < m_Walked.size() &&
               m_Parts[shared - base] == m_Path[shared]) {
            ++shared;
        }
        m_Walked.resize(shared);
        RegKey* key = shared == 0 ? m_Branch : m_Walked.back();
        for (size_t i = shared; i < eager; ++i) {
            key = &key->CreateSubkey(m_Parts[i - base]);
            m_Walked.push_back(key);
            if (i >= m_Path.size()) {
                m_Path.resize(i + 1);
            }
            m_Path[i].swap(m_Parts[i - base]);
        }
        m_LastRaw = raw;
        m_KeyValid = true;
        size_t valuesOffset = m_Reader.Offset();
        size_t valuesLine = m_Reader.Number() + 1;
        if (total <= kEagerDepth) {
            // A key named twice has its first values read before the second ones are indexed.
            key->SetPendingValues(*m_File, valuesOffset, valuesLine);
            m_Key = key;
            return;
        }
        size_t pathOffset =
            static_cast<size_t>(raw.data() - m_File->Text().data()) + m_Starts[eager - 1];
        m_Deferring = key;
        key->DeferSubkey(DeferredKey{m_File, pathOffset, valuesOffset, valuesLine, false});
    }

    void ParseOption(std::string_view option) {
        if (m_Pass == Pass::Check) {
            if (StartsWith(option, 0, "#arch=") || option == "#link") {
                m_Noted.emplace_back();
            }
            return;
        }
        if (StartsWith(option, 0, "#arch=")) {
            if (m_Arch != nullptr) {
                *m_Arch = std::string(option.substr(6));
            }
        } else if (option == "#link") {
            m_IsLink = true;
            if (m_Pass == Pass::Index && m_KeyValid) {
                // Opening a key follows its link: a link key's values are read as soon as it is
                // created, now or when its parent's subkeys are first used.
                if (m_Deferring != nullptr) {
                    m_Deferring->LastDeferredIsLink();
                } else if (m_Key != nullptr) {
                    m_Key->ReadPendingValues();
                }
            }
        }
        // #time= and #class= carry nothing the machine needs.
    }

    void ParseValue(std::string_view line, size_t pos) {
        SkipBlanks(line, pos);
        if (pos == line.size() || line[pos] != '=') {
            Problem("value without '='");
            return;
        }
        ++pos;
        SkipBlanks(line, pos);
        DWORD type = REG_SZ;
        m_Data.clear();
        if (StartsWith(line, pos, "\"")) {
            ++pos;
            if (!ParseText(line, pos)) {
                return;
            }
        } else if (StartsWith(line, pos, "str:\"") || StartsWith(line, pos, "str(")) {
            if (line[pos + 3] == '(') {
                pos += 4;
                if (!ParseType(line, pos, type) || !StartsWith(line, pos, ":\"")) {
                    Problem("malformed string type");
                    return;
                }
                pos += 2;
            } else {
                pos += 5;
            }
            if (!ParseText(line, pos)) {
                return;
            }
        } else if (StartsWith(line, pos, "dword:")) {
            type = REG_DWORD;
            pos += 6;
            unsigned long number = 0;
            int digits = 0;
            for (; pos < line.size() && HexDigit(line[pos]) >= 0 && digits < 8; ++pos, ++digits) {
                number = number * 16 + static_cast<unsigned long>(HexDigit(line[pos]));
            }
            SkipBlanks(line, pos);
            if (digits == 0 || pos != line.size()) {
                Problem("malformed dword");
                return;
            }
            for (int i = 0; i < 4; ++i) {
                m_Data += static_cast<char>((number >> (8 * i)) & 0xFF);
            }
        } else if (StartsWith(line, pos, "hex:") || StartsWith(line, pos, "hex(")) {
            type = REG_BINARY;
            if (line[pos + 3] == '(') {
                pos += 4;
                if (!ParseType(line, pos, type) || !StartsWith(line, pos, ":")) {
                    Problem("malformed hex type");
                    return;
                }
                pos += 1;
            } else {
                pos += 4;
            }
            if (!ParseHex(line, pos)) {
                return;
            }
        } else {
            Problem("unrecognised value data");
            return;
        }
        Store(type);
    }

    bool ParseType(std::string_view line, size_t& pos, DWORD& type) {
        unsigned long number = 0;
        int digits = 0;
        for (; pos < line.size() && HexDigit(line[pos]) >= 0 && digits < 8; ++pos, ++digits) {
            number = number * 16 + static_cast<unsigned long>(HexDigit(line[pos]));
        }
        if (digits == 0 || pos == line.size() || line[pos] != ')') {
            return false;
        }
        ++pos;
        type = static_cast<DWORD>(number);
        return true;
    }

    // A quoted text: kept as UTF-16LE with a terminating NUL.
    bool ParseText(std::string_view line, size_t& pos) {
        if (m_Pass != Pass::Values) {
            // Only where the text ends matters until the key's values are read.
            if (!SkipString(line, pos, '"')) {
                Problem("unterminated string");
                return false;
            }
            return true;
        }
        if (!ParseString(line, pos, '"', m_Text)) {
            Problem("unterminated string");
            return false;
        }
        m_Data.clear();
        AppendUtf16Le(m_Data, m_Text);
        m_Data.append(2, '\0');
        return true;
    }

    // Hex bytes separated by commas; a line that ends in a backslash goes on in the next one.
    bool ParseHex(std::string_view line, size_t pos) {
        while (true) {
            // Most of it is two digits and a comma, as Wine writes it.
            while (pos + 3 <= line.size() && line[pos + 2] == ',') {
                int high = HexDigit(line[pos]);
                int low = HexDigit(line[pos + 1]);
                if ((high | low) < 0) {
                    break;
                }
                if (m_Pass == Pass::Values) {
                    m_Data += static_cast<char>(high * 16 + low);
                }
                pos += 3;
            }
            SkipBlanks(line, pos);
            if (pos == line.size()) {
                return true;
            }
            if (line[pos] == '\\' && pos + 1 == line.size()) {
                if (!m_Reader.Next(line)) {
                    Problem("unexpected end of file in hex data");
                    return false;
                }
                pos = 0;
                continue;
            }
            int high = HexDigit(line[pos]);
            int low = pos + 1 < line.size() ? HexDigit(line[pos + 1]) : -1;
            if (high < 0 || low < 0) {
                Problem("malformed hex data");
                return false;
            }
            if (m_Pass == Pass::Values) {
                m_Data += static_cast<char>(high * 16 + low);
            }
            pos += 2;
            SkipBlanks(line, pos);
            if (pos < line.size() && line[pos] == ',') {
                ++pos;
            } else if (pos < line.size() && line[pos] != '\\') {
                Problem("malformed hex data");
                return false;
            }
        }
    }

    void Store(DWORD type) {
        if (m_Pass != Pass::Values || m_Key == nullptr) {
            // The key line was malformed; its values go with it.
            return;
        }
        if (m_IsLink && type == REG_LINK && SameName(m_Name, L"SymbolicLinkValue")) {
            m_Key->linkTarget = FromUtf16Le(m_Data);
        }
        m_Key->SetValue(m_Name, type, std::move(m_Data));
    }

    std::string m_FilePath;
    FileText* m_File;
    LineReader m_Reader;
    RegKey* m_Branch = nullptr;
    std::string* m_Arch = nullptr;
    std::vector<std::string>* m_Problems = nullptr;
    RegKey* m_Key = nullptr;
    // The key that the last key line was deferred at, when it was.
    RegKey* m_Deferring = nullptr;
    Pass m_Pass;
    // Checking: whether a problem was met, and the lines indexing must see.
    bool m_Broken = false;
    std::vector<NotedLine> m_Noted;
    // Whether the last key line was well formed; the names of a key line, and where in its
    // text each name after the first begins.
    bool m_KeyValid = false;
    std::vector<size_t> m_Starts;
    // The first names of the last key line walked (the first m_Walked.size() of them) and the
    // keys they lead to.
    std::vector<std::wstring> m_Path;
    std::vector<RegKey*> m_Walked;
    std::vector<std::wstring> m_Parts;
    // The text of the last key line walked, from its name on.
    std::string_view m_LastRaw;
    bool m_IsLink = false;
    std::wstring m_Name;
    std::wstring m_Text;
    std::string m_Data;
};

void FileText::ReadInto(RegKey& key, size_t offset, size_t line) {
    RegistryFileLoader(*this, offset, line, key).ReadKey();
}

} // namespace

bool LoadWineRegistryFile(const std::string& path, RegKey& branch, std::string& arch,
                          std::vector<std::string>& problems, unsigned pieces) {
    auto text = std::make_shared<FileText>();
    if (!text->Open(path)) {
        problems.push_back(path + ": cannot be read");
        return false;
    }
    bool loaded = RegistryFileLoader(path, *text, branch, arch, problems).Load(pieces);
    branch.KeepSource(std::move(text));
    return loaded;
}

} // namespace sim
