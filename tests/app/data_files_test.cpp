// The files laid into a new data folder: each one the program refers to must be there
// and must load the way the program loads it.

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "mail/message.h"

namespace sievo {
namespace {

const std::string kDataFolder = SIEVOMATIC_DATA_DIR "/";

std::string ReadBytes(const std::string& name) {
    std::ifstream in(kDataFolder + name, std::ios::binary);
    EXPECT_TRUE(in) << name << " is missing";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

// Test names from file names: "icons/mail.svg" at 16 pixels becomes icons_mail_svg_16.
std::string NameOf(const std::string& file) {
    std::string name = file;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

struct Wave {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<std::int16_t> samples;
};

// Walks the RIFF chunks; a chunk that claims more bytes than the file holds throws.
Wave ParseWave(const std::string& bytes) {
    Wave wave;
    if (bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        throw std::runtime_error("not a RIFF WAVE file");
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::uint32_t size = LittleEndian(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (body + size > bytes.size())
            throw std::runtime_error("chunk " + id + " runs past the end");
        if (id == "fmt ") {
            wave.format = static_cast<int>(LittleEndian(bytes, body, 2));
            wave.channels = static_cast<int>(LittleEndian(bytes, body + 2, 2));
            wave.rate = static_cast<int>(LittleEndian(bytes, body + 4, 4));
            wave.bits = static_cast<int>(LittleEndian(bytes, body + 14, 2));
        } else if (id == "data") {
            for (std::size_t i = 0; i + 1 < size; i += 2)
                wave.samples.push_back(static_cast<std::int16_t>(LittleEndian(bytes, body + i, 2)));
        }
        at = body + size + (size & 1);
    }
    return wave;
}

struct Sound {
    const char* name;
    double minSeconds;
    double maxSeconds;
};

class SoundFile : public testing::TestWithParam<Sound> {};

TEST_P(SoundFile, IsShortMonoPcmThatStartsAndEndsQuietly) {
    const Sound sound = GetParam();
    const Wave wave = ParseWave(ReadBytes(sound.name));
    EXPECT_EQ(wave.format, 1);  // PCM
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(wave.bits, 16);
    EXPECT_EQ(wave.rate, 22050);
    ASSERT_GT(wave.rate, 0);
    const double seconds = static_cast<double>(wave.samples.size()) / wave.rate;
    EXPECT_GE(seconds, sound.minSeconds);
    EXPECT_LE(seconds, sound.maxSeconds);

    // A sound that jumps in or out at a high level clicks; the first and last
    // millisecond stay within 5 % of full scale, and something in between is audible.
    const std::size_t edge = static_cast<std::size_t>(wave.rate / 1000);
    ASSERT_GT(wave.samples.size(), 2 * edge);
    int loudest = 0;
    int loudestAtEdges = 0;
    for (std::size_t i = 0; i < wave.samples.size(); ++i) {
        const int level = std::abs(static_cast<int>(wave.samples[i]));
        loudest = std::max(loudest, level);
        if (i < edge || i >= wave.samples.size() - edge)
            loudestAtEdges = std::max(loudestAtEdges, level);
    }
    EXPECT_LT(loudestAtEdges, 32767 / 20) << sound.name;
    EXPECT_GT(loudest, 32767 / 10);
}

INSTANTIATE_TEST_SUITE_P(DataFiles, SoundFile,
                         testing::Values(Sound{"welcome.wav", 0.7, 1.5},
                                         Sound{"gotit.wav", 0.15, 0.5},
                                         Sound{"newitem.wav", 0.3, 0.8}),
                         [](const auto& info) { return NameOf(info.param.name); });

struct Icon {
    const char* name;
    int size;
};

class IconFile : public testing::TestWithParam<Icon> {};

// Renders the icon at the size asked for; it must draw something and leave some of the
// square see-through, as a tray icon does.
TEST_P(IconFile, RendersWithSomeOpaqueAndSomeClearPixels) {
    const Icon icon = GetParam();
    QImageReader reader(QString::fromStdString(kDataFolder + icon.name));
    reader.setScaledSize(QSize(icon.size, icon.size));
    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(image.isNull()) << icon.name << ": " << reader.errorString().toStdString();
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 128;
    const int all = icon.size * icon.size;
    EXPECT_GT(opaque, all / 4) << icon.name;
    EXPECT_LT(opaque, all) << icon.name;
}

INSTANTIATE_TEST_SUITE_P(DataFiles, IconFile,
                         testing::Values(Icon{"icons/sievomatic.svg", 16},
                                         Icon{"icons/sievomatic.svg", 64},
                                         Icon{"icons/mail.svg", 16}, Icon{"icons/mail.svg", 64}),
                         [](const auto& info) {
                             return NameOf(info.param.name) + "_" + std::to_string(info.param.size);
                         });

TEST(DataFiles, AnimationMovesAndLoopsWithAStillFirstFrame) {
    QImageReader reader(QString::fromStdString(kDataFolder + "sam.gif"));
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_EQ(reader.loopCount(), -1);  // forever
    std::vector<QImage> frames;
    for (QImage frame; reader.read(&frame);)
        frames.push_back(frame.convertToFormat(QImage::Format_ARGB32));
    ASSERT_GT(frames.size(), 2u);
    std::set<QByteArray> distinct;
    for (const QImage& frame : frames) {
        EXPECT_EQ(frame.size(), frames.front().size());
        distinct.insert(
            QByteArray(reinterpret_cast<const char*>(frame.constBits()), frame.sizeInBytes()));
    }
    EXPECT_EQ(distinct.size(), frames.size()) << "every frame should differ from the others";
    // The reader shows what it has of a cut-off file; only the trailer proves it whole.
    EXPECT_EQ(ReadBytes("sam.gif").back(), ';');
}

TEST(DataFiles, TellAFriendMessageLoadsWithSubjectBodyAndPlaceholderAddresses) {
    TmsMessage message;
    message.LoadFromFile(kDataFolder + "tell.eml");
    EXPECT_FALSE(message.Subject().empty());
    EXPECT_GT(message.Body().size(), 3u);
    ASSERT_EQ(message.Recipients().Count(), 1);
    // Sent from the user's own address to the one typed in: nothing real is shipped.
    EXPECT_TRUE(message.Recipients()[0].Address().ends_with("@example.org"));
    EXPECT_TRUE(message.Sender().Address().ends_with("@example.org"));
}

// The values of every attribute written as prefix + value + '"' in the page.
std::vector<std::string> AttributeValues(const std::string& page, const std::string& prefix) {
    std::vector<std::string> values;
    for (auto at = page.find(prefix); at != std::string::npos; at = page.find(prefix, at)) {
        at += prefix.size();
        const auto end = page.find('"', at);
        if (end == std::string::npos)
            break;
        values.push_back(page.substr(at, end - at));
    }
    return values;
}

TEST(DataFiles, HelpPageHoldsEveryTopicTheProgramOpensAndNoBrokenLink) {
    const std::string page = ReadBytes("help/index.html");
    std::set<std::string> ids;
    for (const std::string& id : AttributeValues(page, " id=\""))
        ids.insert(id);
    for (const char* topic : {"Introduction", "What_Is_Sievomatic", "Mail_Preview_Center"})
        EXPECT_TRUE(ids.count(topic)) << "no topic " << topic;
    for (const std::string& topic : AttributeValues(page, "href=\"#"))
        EXPECT_TRUE(ids.count(topic)) << "link to missing topic " << topic;
    // Opened from disk without a network: nothing may be fetched from elsewhere.
    EXPECT_EQ(page.find("src="), std::string::npos);
    EXPECT_EQ(page.find("<link"), std::string::npos);
}

}  // namespace
}  // namespace sievo
