// A program's version resource: blocks built here, the program's own (res/setup.rc compiled by
// the cross windres at build time), and damaged blocks, refused without a read outside them.
#include <doctest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "files/version_info_rules.h"
#include "res/version.h"
#include "host_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put16(Bytes& b, size_t at, unsigned value) { b.at(at) = value & 0xFF, b.at(at + 1) = (value >> 8) & 0xFF; }

Bytes Utf16(const std::u16string& text) {
    Bytes bytes(2 * text.size());
    for (size_t i = 0; i < text.size(); ++i) Put16(bytes, 2 * i, text[i]);
    return bytes;
}

// Every block: wLength (bytes of the whole block, without the padding behind it), wValueLength,
// wType (1: text), the key in UTF-16 with its terminator, zeros up to a multiple of 4 from the
// resource's start, the value, and the child blocks, each again from a multiple of 4. Here every
// block begins at such a multiple, so its own length can stand for the resource's offsets.
Bytes Block(const std::u16string& key, const Bytes& value, unsigned valueLength, const std::vector<Bytes>& children = {}) {
    Bytes block(6), k = Utf16(key + u'\0');
    block.insert(block.end(), k.begin(), k.end());
    block.resize((block.size() + 3) & ~size_t(3));
    block.insert(block.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        block.resize((block.size() + 3) & ~size_t(3));
        block.insert(block.end(), child.begin(), child.end());
    }
    Put16(block, 0, static_cast<unsigned>(block.size())), Put16(block, 2, valueLength), Put16(block, 4, 1);
    return block;
}
// A string: wValueLength counts its characters with the terminator.
Bytes Text(const std::u16string& key, const std::u16string& value) {
    return Block(key, Utf16(value + u'\0'), static_cast<unsigned>(value.size() + 1));
}
// The root: VS_VERSION_INFO with VS_FIXEDFILEINFO (signature, structure version, file version,
// product version, then zeros), a StringFileInfo with the string tables and a VarFileInfo.
Bytes Resource(unsigned long productMs, unsigned long productLs, const std::vector<Bytes>& tables) {
    Bytes fixed(52);
    const unsigned long words[] = {0xFEEF04BD, 0x00010000, 0x00010002, 0x00030004, productMs, productLs};
    for (size_t i = 0; i < 6; ++i) Put16(fixed, 4 * i, words[i] & 0xFFFF), Put16(fixed, 4 * i + 2, words[i] >> 16);
    return Block(u"VS_VERSION_INFO", fixed, 52,
                 {Block(u"StringFileInfo", {}, 0, tables), Block(u"VarFileInfo", {}, 0, {Block(u"Translation", {7, 4, 0xE4, 4}, 4)})});
}
Bytes Company(const std::u16string& table, const std::u16string& name) {
    return Block(table, {}, 0, {Text(u"FileVersion", u"1.2.3.4"), Text(u"CompanyName", name), Text(u"ProductName", u"P")});
}

// The product version text, or "refused".
std::string Version(const Bytes& resource) {
    Bytes exact(resource);
    VersionNumber v;
    bool read = VersionResourceProductVersion(exact.data(), exact.size(), v);
    host::CheckWithin(v.Text);
    CHECK((read || (v.Text.IsEmpty() && v.Parts[0] == 0)));
    return read ? v.Text.CStr() : "refused";
}
// The company name in code page 1252 with "(cut)" behind a name that was, or "refused".
std::string Name(const Bytes& resource) {
    Bytes exact(resource);
    CompanyText name;
    bool read = VersionResourceCompanyName(exact.data(), exact.size(), name);
    host::CheckWithin(name);
    CHECK((read || !name.Fits() || name.IsEmpty()));
    if (!name.Fits()) CHECK(!read);
    return read ? name.CStr() : !name.Fits() ? name.CStr() + std::string("(cut)") : "refused";
}

}  // namespace

TEST_CASE("a version resource built here gives its product version and company name") {
    CHECK(Version(Resource(0x00030007, 0, {})) == "3.7.0.0");
    CHECK(Version(Resource(0xFFFF0001, 0x00020003, {})) == "65535.1.2.3");
    VersionNumber v;
    Bytes r = Resource(0x000A0000, 0x4A610001, {});
    REQUIRE(VersionResourceProductVersion(r.data(), r.size(), v));
    CHECK((v.Parts[0] == 10 && v.Parts[1] == 0 && v.Parts[2] == 19041 && v.Parts[3] == 1));
    CHECK(Name(Resource(1, 0, {Company(u"040704e4", u"Müller & Söhne „Büro“ €")})) == "Müller & Söhne „Büro“ €");
    CHECK(Name(Resource(1, 0, {Company(u"040904b0", u"English"), Company(u"040704E4", u"Deutsch")})) == "Deutsch");
    CHECK(Name(Resource(1, 0, {Company(u"040904e4", u"Ansi"), Company(u"040904b0", u"Unicode")})) == "Unicode");
    CHECK(Name(Resource(1, 0, {Company(u"040c04b0", u"Premier"), Company(u"041104b0", u"Second")})) == "Premier");
    CHECK(Name(Resource(1, 0, {Company(u"040704b0", u"\u0141od\u017A")})) == "refused");
    CHECK(Name(Resource(1, 0, {Company(u"040704b0", u"")})) == "refused");
    CHECK(Name(Resource(1, 0, {Block(u"040704b0", {}, 0, {Text(u"ProductName", u"P")})})) == "refused");
    CHECK(Name(Resource(1, 0, {})) == "refused");
    CHECK(Name(Resource(1, 0, {Block(u"040704b0", {}, 0, {Text(u"companyname", u"Klein")})})) == "Klein");
    Bytes bytesCounted = Block(u"CompanyName", Utf16(std::u16string(u"Bytes\0", 6)), 12);  // some writers count bytes
    CHECK(Name(Resource(1, 0, {Block(u"040704b0", {}, 0, {bytesCounted})})) == "Bytes");
    Bytes unterminated = Block(u"CompanyName", Utf16(u"Offen"), 5);
    CHECK(Name(Resource(1, 0, {Block(u"040704b0", {}, 0, {unterminated})})) == "Offen");
    CHECK(Name(Resource(1, 0, {Company(u"040704b0", std::u16string(79, u'x'))})) == std::string(79, 'x'));
    CHECK(Name(Resource(1, 0, {Company(u"040704b0", std::u16string(80, u'x'))})) == std::string(79, 'x') + "(cut)");
}

TEST_CASE("the program's own version resource, as windres compiles res/setup.rc") {
    std::ifstream rcFile(QV_HOST_TEST_DIR "/../../res/setup.rc"), resFile(QV_SETUP_RES, std::ios::binary);
    std::string rc((std::istreambuf_iterator<char>(rcFile)), {});
    Bytes res((std::istreambuf_iterator<char>(resFile)), {});
    std::smatch company;
    REQUIRE(std::regex_search(rc, company, std::regex(R"(VALUE "CompanyName", "([^"\\]*))")));
    // A .res file is a row of entries: DataSize and HeaderSize (32 bits each), the type and the
    // name (0xFFFF and a 16-bit number, or a UTF-16 text), four more fields, then the data; each
    // entry from a multiple of 4. RT_VERSION is type 16.
    Bytes block;
    for (size_t at = 0; at + 12 <= res.size() && block.empty();) {
        size_t data = res[at] | res[at + 1] << 8 | res[at + 2] << 16, header = res[at + 4] | res[at + 5] << 8;
        if (res[at + 8] == 0xFF && res[at + 9] == 0xFF && res[at + 10] == 16 && res[at + 11] == 0)
            block.assign(res.begin() + at + header, res.begin() + at + header + data);
        at = (at + header + data + 3) & ~size_t(3);
    }
    REQUIRE(!block.empty());
    CHECK(Version(block) == QV_VERSION);  // the version CMakeLists.txt sets, as the build gives it to windres
    CHECK(Name(block) == company[1].str());
}

TEST_CASE("damaged version resources are refused without a read outside them") {
    Bytes r = Resource(0x00030007, 0, {Company(u"040704e4", u"Firma")});
    REQUIRE((Version(r) == "3.7.0.0" && Name(r) == "Firma"));
    for (size_t n = 0; n < r.size(); ++n) {
        Bytes cut(r.begin(), r.begin() + n);
        CHECK(Version(cut) == "refused");
        CHECK(Name(cut) == "refused");
    }
    // The root's wLength at 0 and wValueLength at 2, its key at 6, the signature at 40; the
    // StringFileInfo at 92, its string table at 128, the string CompanyName at 200.
    size_t stringFileInfo = 92, table = 128, name = 200;
    REQUIRE((r[stringFileInfo + 6] == 'S' && r[table + 6] == '0' && r[name + 6] == 'C'));
    const size_t damages[][2] = {{0, 5},   {0, 0xFFFF}, {2, 51},  {2, 0xFFFF}, {6, 'X'},  {40, 0},
                                 {stringFileInfo, 0xFFFF}, {stringFileInfo, 3}, {table, 0xFFFF}, {table, 7},
                                 {name, 0xFFFF}, {name, 4}, {name + 2, 0xFFFF}};
    for (const auto& d : damages) {
        INFO("at " << d[0] << ": " << d[1]);
        Bytes damaged = r;
        Put16(damaged, d[0], static_cast<unsigned>(d[1]));
        CHECK(Version(damaged) + " " + Name(damaged) == (d[0] < 42 ? "refused refused" : "3.7.0.0 refused"));
    }
    Bytes noTerminator = r;  // a key that runs to the end of its block
    for (size_t at = name + 6; at < name + r[name]; ++at) noTerminator[at] = 'x';
    CHECK(Name(noTerminator) == "refused");
    for (size_t at = 0; at < r.size(); ++at)  // any byte changed: read or refused, within bounds
        for (unsigned char value : {0x00, 0x01, 0x7F, 0xFF}) {
            Bytes changed = r;
            changed[at] = value;
            Version(changed), Name(changed);
        }
}
