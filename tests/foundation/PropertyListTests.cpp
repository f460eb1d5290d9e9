// Property-list files: reading binary and XML into Foundation values, refusing
// bad files, and writing atomically.
#include "TempDeviceRoot.h"

#include <Foundation/NSArray.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSValue.h>

#include <plist/plist.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* prefsPath = "/var/mobile/Library/Preferences/com.example.test.plist";

std::string bytesOf(plist_t root, bool binary)
{
    char* bytes = nullptr;
    std::uint32_t length = 0;
    if (binary)
        plist_to_bin(root, &bytes, &length);
    else
        plist_to_xml(root, &bytes, &length);
    std::string out(bytes, length);
    std::free(bytes);
    return out;
}

// A dictionary with one value of every kind, made with libplist itself.
plist_t everyKind()
{
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "flag", plist_new_bool(1));
    plist_dict_set_item(root, "count", plist_new_uint(7));
    plist_dict_set_item(root, "negative", plist_new_uint(static_cast<std::uint64_t>(-5)));
    plist_dict_set_item(root, "ratio", plist_new_real(0.5));
    plist_dict_set_item(root, "name", plist_new_string("Zürich"));
    plist_dict_set_item(root, "when", plist_new_date(510667200, 0));
    plist_dict_set_item(root, "blob", plist_new_data("\x01\x02\xff", 3));
    plist_t list = plist_new_array();
    plist_array_append_item(list, plist_new_string("home"));
    plist_array_append_item(list, plist_new_uint(2));
    plist_dict_set_item(root, "list", list);
    return root;
}

class PropertyListFile : public ::testing::TestWithParam<bool> {
protected:
    void writeRaw(const std::string& bytes) const { device.writeText(prefsPath, bytes); }

    testing_support::TempDeviceRoot device;
};

} // namespace

TEST_P(PropertyListFile, ReadsEveryKindOfValue)
{
    plist_t root = everyKind();
    writeRaw(bytesOf(root, GetParam()));
    plist_free(root);

    Ref<NSDictionary> prefs = NSDictionary::dictionaryWithContentsOfFile(prefsPath);
    ASSERT_TRUE(prefs);
    EXPECT_EQ(prefs->count(), 8u);

    auto* flag = dynamicCast<NSNumber>(prefs->objectForKey("flag"));
    ASSERT_TRUE(flag);
    EXPECT_TRUE(flag->isBoolean());
    EXPECT_TRUE(flag->boolValue());

    auto* count = dynamicCast<NSNumber>(prefs->objectForKey("count"));
    ASSERT_TRUE(count);
    EXPECT_FALSE(count->isBoolean() || count->isFloatingPoint());
    EXPECT_EQ(count->integerValue(), 7);
    EXPECT_EQ(dynamicCast<NSNumber>(prefs->objectForKey("negative"))->integerValue(), -5);

    auto* ratio = dynamicCast<NSNumber>(prefs->objectForKey("ratio"));
    ASSERT_TRUE(ratio);
    EXPECT_TRUE(ratio->isFloatingPoint());
    EXPECT_EQ(ratio->doubleValue(), 0.5);

    EXPECT_EQ(dynamicCast<NSString>(prefs->objectForKey("name"))->UTF8String(), "Zürich");
    auto* when = dynamicCast<NSDate>(prefs->objectForKey("when"));
    ASSERT_TRUE(when);
    EXPECT_EQ(when->timeIntervalSinceReferenceDate(), 510667200.0);
    auto* blob = dynamicCast<NSData>(prefs->objectForKey("blob"));
    ASSERT_TRUE(blob);
    EXPECT_EQ(blob->description(), "<0102ff>");

    auto* list = dynamicCast<NSArray>(prefs->objectForKey("list"));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 2u);
    EXPECT_TRUE(list->objectAtIndex(0)->isEqual("home"_ns.get()));
    EXPECT_EQ(dynamicCast<NSNumber>(list->objectAtIndex(1))->integerValue(), 2);
}

TEST_P(PropertyListFile, BadFilesGiveNil)
{
    plist_t root = everyKind();
    const std::string good = bytesOf(root, GetParam());
    plist_free(root);

    const std::vector<std::pair<std::string, std::string>> bad = {
        { "empty", "" },
        { "truncated", good.substr(0, good.size() / 2) },
        { "missing its last nine bytes", good.substr(0, good.size() - 9) },
        { "missing its last byte", GetParam() ? good.substr(0, good.size() - 1) : std::string() },
        { "garbage", "this is not a property list\n" },
        { "binary magic only", "bplist00" },
    };
    for (const auto& [what, bytes] : bad) {
        writeRaw(bytes);
        EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile(prefsPath)) << what;
        EXPECT_FALSE(NSPropertyListSerialization::propertyListWithContentsOfFile(prefsPath)) << what;
    }
}

TEST_P(PropertyListFile, RootOfTheWrongKindGivesNil)
{
    plist_t list = plist_new_array();
    plist_array_append_item(list, plist_new_string("work"));
    writeRaw(bytesOf(list, GetParam()));
    plist_free(list);

    EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile(prefsPath));
    Ref<NSArray> calendars = NSArray::arrayWithContentsOfFile(prefsPath);
    ASSERT_TRUE(calendars);
    EXPECT_EQ(calendars->count(), 1u);

    plist_t dict = plist_new_dict();
    writeRaw(bytesOf(dict, GetParam()));
    plist_free(dict);
    EXPECT_FALSE(NSArray::arrayWithContentsOfFile(prefsPath));
    EXPECT_TRUE(NSDictionary::dictionaryWithContentsOfFile(prefsPath));
}

TEST_P(PropertyListFile, WrittenFileReadsBackEqual)
{
    auto prefs = NSMutableDictionary::dictionary();
    prefs->setObjectForKey(NSNumber::numberWithBool(false).get(), "enabled");
    prefs->setObjectForKey(NSNumber::numberWithLongLong(-12).get(), "offset");
    prefs->setObjectForKey(NSNumber::numberWithLongLong(1LL << 40).get(), "large");
    prefs->setObjectForKey(NSNumber::numberWithDouble(2.75).get(), "scale");
    prefs->setObjectForKey("com.example.app"_ns.get(), "customLaunchAppBundleID");
    prefs->setObjectForKey(NSDate::dateWithTimeIntervalSinceReferenceDate(-86400).get(), "since");
    prefs->setObjectForKey(NSData::dataWithBytes("\0\1", 2).get(), "raw");
    prefs->setObjectForKey(
        NSArray::array({ "a"_ns, NSDictionary::dictionary({ { "k"_ns, "v"_ns } }) }).get(), "nested");

    const auto format = GetParam() ? NSPropertyListBinaryFormat_v1_0 : NSPropertyListXMLFormat_v1_0;
    std::string error;
    ASSERT_TRUE(NSPropertyListSerialization::writePropertyList(prefs.get(), prefsPath, format, &error)) << error;

    Ref<NSDictionary> read = NSDictionary::dictionaryWithContentsOfFile(prefsPath);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->isEqual(prefs.get())) << read->description();
    EXPECT_TRUE(dynamicCast<NSNumber>(read->objectForKey("enabled"))->isBoolean());

    std::ifstream file(device.file(prefsPath), std::ios::binary);
    std::string head(8, '\0');
    file.read(head.data(), 8);
    EXPECT_EQ(head == "bplist00", GetParam());
}

TEST(PropertyListDates, BinaryFilesKeepFractionsOnBothSidesOfTheReferenceDate)
{
    testing_support::TempDeviceRoot device;
    for (double instant : { -86400.5, -0.25 - 3600, 510667200.75 }) {
        auto dates = NSArray::array({ NSDate::dateWithTimeIntervalSinceReferenceDate(instant) });
        ASSERT_TRUE(
            NSPropertyListSerialization::writePropertyList(dates.get(), prefsPath, NSPropertyListBinaryFormat_v1_0));
        Ref<NSArray> read = NSArray::arrayWithContentsOfFile(prefsPath);
        ASSERT_TRUE(read);
        EXPECT_EQ(dynamicCast<NSDate>(read->firstObject())->timeIntervalSinceReferenceDate(), instant);
    }
}

INSTANTIATE_TEST_SUITE_P(BinaryAndXML, PropertyListFile, ::testing::Bool(),
    [](const auto& paramInfo) { return paramInfo.param ? "Binary" : "XML"; });

TEST(PropertyListRead, MissingFileOrFolderGivesNil)
{
    testing_support::TempDeviceRoot device;
    EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile(prefsPath));
    fs::create_directories(device.file(prefsPath));
    EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile(prefsPath)) << "a folder in the file's place";
    fs::remove(device.file(prefsPath));
    fs::create_symlink("nowhere.plist", device.file(prefsPath));
    EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile(prefsPath)) << "a link to nothing";
}

TEST(PropertyListRead, UnreadableFileGivesNil)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser reads every file";
    testing_support::TempDeviceRoot device;
    plist_t dict = plist_new_dict();
    device.writeText(prefsPath, bytesOf(dict, true));
    plist_free(dict);
    ::chmod(device.file(prefsPath).c_str(), 0);
    EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile(prefsPath));
}

TEST(PropertyListRead, XmlTextWithUnknownOrBrokenContentGivesNil)
{
    testing_support::TempDeviceRoot device;
    const char* header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    for (const char* body : { "<dict><key>a</key><integer>1</integer>",
             "<dict><key>a</key><integer>1</integer></array>", "<dict><key>a</key><widget/></dict>" }) {
        device.writeText(prefsPath, std::string(header) + body + "</plist>\n");
        EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile(prefsPath)) << body;
    }
    device.writeText(prefsPath, std::string(header) + "<dict><key>textSize</key><string>15</string></dict></plist>\n");
    Ref<NSDictionary> prefs = NSDictionary::dictionaryWithContentsOfFile(prefsPath);
    ASSERT_TRUE(prefs);
    EXPECT_EQ(dynamicCast<NSString>(prefs->objectForKey("textSize"))->intValue(), 15);
}

TEST(PropertyListRead, ReadsBytesInMemory)
{
    plist_t root = everyKind();
    const std::string bytes = bytesOf(root, true);
    plist_free(root);
    auto data = NSData::dataWithBytes(bytes.data(), bytes.size());
    EXPECT_TRUE(dynamicCast<NSDictionary>(NSPropertyListSerialization::propertyListWithData(data.get())));
    EXPECT_FALSE(NSPropertyListSerialization::propertyListWithData(NSData::data().get()));
}

// libplist aborts the process when it hands out a dictionary key holding a NUL
// character; such a binary list is refused, while one with a NUL inside a
// string value still reads.
TEST(PropertyListRead, BinaryKeyWithNulGivesNilAndNulInAValueReads)
{
    const std::string keyWithNul("bplist00\xd2\x01\x02\x03\x04\x53\x61\x00\x62\x52\x6f\x6b\x51\x78\x53\x63\x00\x64"
                                 "\x08\x0d\x11\x14\x16\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00"
                                 "\x00\x05\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x1a",
        63);
    EXPECT_FALSE(NSPropertyListSerialization::propertyListWithData(
        NSData::dataWithBytes(keyWithNul.data(), keyWithNul.size()).get()));

    const std::string valueWithNul("bplist00\xd1\x01\x02\x52\x6f\x6b\x53\x63\x00\x64\x08\x0b\x0e\x00\x00\x00\x00"
                                   "\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00\x00\x00"
                                   "\x00\x00\x00\x00\x00\x00\x00\x00\x12",
        53);
    const Ref<NSObject> read = NSPropertyListSerialization::propertyListWithData(
        NSData::dataWithBytes(valueWithNul.data(), valueWithNul.size()).get());
    const auto* dictionary = dynamicCast<NSDictionary>(read.get());
    ASSERT_TRUE(dictionary);
    const auto* text = dynamicCast<NSString>(dictionary->objectForKey("ok"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->UTF8String(), std::string("c\0d", 3)) << "ASCII text is read whole, past its NUL";
}

// A list of 4 kB whose one array of a thousand references to a text is itself
// referred to a thousand times: read as libplist copies it, a million texts.
TEST(PropertyListRead, BinaryListThatSharesItsObjectsOverAndOverGivesNil)
{
    const auto twoBytes = [](std::size_t value) { return std::string { char(value >> 8), char(value & 0xFF) }; };
    std::string bytes = "bplist00";
    std::string table;
    for (std::size_t element : { 1, 2 }) {
        table += twoBytes(bytes.size());
        bytes += "\xaf\x11" + twoBytes(1000);
        for (int i = 0; i < 1000; ++i)
            bytes += twoBytes(element);
    }
    table += twoBytes(bytes.size());
    bytes += "\x5f\x10\x64" + std::string(100, 'x');
    const std::size_t tableAt = bytes.size();
    bytes += table;
    // The trailer: two-byte offsets and references, three objects, the first on top.
    bytes += std::string(6, '\0') + "\x02\x02" + std::string(7, '\0') + "\x03" + std::string(8, '\0')
        + std::string(6, '\0') + twoBytes(tableAt);
    EXPECT_FALSE(
        NSPropertyListSerialization::propertyListWithData(NSData::dataWithBytes(bytes.data(), bytes.size()).get()));
}

TEST(PropertyListWrite, ReplacesTheFileAndLeavesNoTemporaryBehind)
{
    testing_support::TempDeviceRoot device;
    const fs::path file = device.file(prefsPath);
    ASSERT_TRUE(NSPropertyListSerialization::writePropertyList(
        NSDictionary::dictionary({ { "daysToDisplay"_ns, NSNumber::numberWithLongLong(2) } }).get(), prefsPath,
        NSPropertyListBinaryFormat_v1_0));
    ::chmod(file.c_str(), 0640);
    const auto inodeBefore = fs::status(file).permissions();

    ASSERT_TRUE(NSPropertyListSerialization::writePropertyList(
        NSDictionary::dictionary({ { "daysToDisplay"_ns, NSNumber::numberWithLongLong(7) } }).get(), prefsPath,
        NSPropertyListBinaryFormat_v1_0));

    EXPECT_EQ(fs::status(file).permissions(), inodeBefore);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(file.parent_path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string> { "com.example.test.plist" });
    EXPECT_EQ(
        dynamicCast<NSNumber>(NSDictionary::dictionaryWithContentsOfFile(prefsPath)->objectForKey("daysToDisplay"))
            ->integerValue(),
        7);
}

TEST(PropertyListWrite, RefusedTreeLeavesTheOldFileAlone)
{
    testing_support::TempDeviceRoot device;
    auto old = NSDictionary::dictionary({ { "textSize"_ns, NSNumber::numberWithLongLong(13) } });
    ASSERT_TRUE(NSPropertyListSerialization::writePropertyList(old.get(), prefsPath, NSPropertyListXMLFormat_v1_0));

    // A key that is not a string, and an object a property list cannot hold.
    for (Ref<NSDictionary> bad : { NSDictionary::dictionary({ { NSNumber::numberWithLongLong(1), "x"_ns } }),
             NSDictionary::dictionary({ { "list"_ns, NSArray::array({ makeRef<NSObject>() }) } }) }) {
        std::string error;
        EXPECT_FALSE(
            NSPropertyListSerialization::writePropertyList(bad.get(), prefsPath, NSPropertyListXMLFormat_v1_0, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(NSDictionary::dictionaryWithContentsOfFile(prefsPath)->isEqual(old.get()));
    }
    std::string error;
    NSPropertyListSerialization::writePropertyList(
        NSDictionary::dictionary({ { "list"_ns, NSArray::array({ makeRef<NSObject>() }) } }).get(), prefsPath,
        NSPropertyListXMLFormat_v1_0, &error);
    EXPECT_EQ(error, "the value at the root/list[0] is an instance of NSObject, which a property list cannot hold");
}

TEST(PropertyListWrite, FolderThatCannotBeMadeIsReported)
{
    testing_support::TempDeviceRoot device;
    // A file stands where the preference folder belongs.
    device.writeText("/var/mobile/Library/Preferences", "");
    std::string error;
    EXPECT_FALSE(NSPropertyListSerialization::writePropertyList(
        NSDictionary::dictionary().get(), prefsPath, NSPropertyListBinaryFormat_v1_0, &error));
    EXPECT_NE(error.find("cannot create the folder"), std::string::npos) << error;
}
