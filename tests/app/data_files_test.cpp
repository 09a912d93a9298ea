// The files laid into a new data folder: each one the program refers to must be there
// and must load the way the program loads it.

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QtEndian>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "mail/message.h"

namespace sievo {
namespace {

const std::string kDataFolder = SIEVOMATIC_DATA_DIR "/";

std::string ReadBytes(const std::string& name) {
    std::ifstream in(kDataFolder + name, std::ios::binary);
    EXPECT_TRUE(in) << name << " is missing";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// QSoundEffect plays only uncompressed PCM WAV; the make-sounds script writes the "fmt "
// chunk first, so the format sits at fixed offsets.
TEST(DataFiles, SoundsAre16BitPcmWave) {
    for (const char* name : {"welcome.wav", "gotit.wav", "newitem.wav"}) {
        const std::string bytes = ReadBytes(name);
        ASSERT_GT(bytes.size(), 44u) << name;
        EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(8, 8), "RIFFWAVEfmt ") << name;
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.data() + 20), 1u) << name;   // PCM
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.data() + 34), 16u) << name;  // bits a sample
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.data() + 4), bytes.size() - 8) << name;
    }
}

// Each icon rendered at the sizes the tray asks for must draw something and leave some
// of the square see-through, as a tray icon does.
TEST(DataFiles, IconsRenderWithSomeOpaqueAndSomeClearPixels) {
    for (const char* name : {"icons/sievomatic.svg", "icons/mail.svg"}) {
        for (const int size : {16, 64}) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(size));
            QImageReader reader(QString::fromStdString(kDataFolder + name));
            reader.setScaledSize(QSize(size, size));
            const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
            ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128;
            EXPECT_GT(opaque, size * size / 4);
            EXPECT_LT(opaque, size * size);
        }
    }
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
std::set<std::string> AttributeValues(const std::string& page, const std::string& prefix) {
    std::set<std::string> values;
    for (auto at = page.find(prefix); at != std::string::npos; at = page.find(prefix, at)) {
        at += prefix.size();
        const auto end = page.find('"', at);
        if (end == std::string::npos)
            break;
        values.insert(page.substr(at, end - at));
    }
    return values;
}

TEST(DataFiles, HelpPageHoldsEveryTopicTheProgramOpensAndNoBrokenLink) {
    const std::string page = ReadBytes("help/index.html");
    const std::set<std::string> ids = AttributeValues(page, " id=\"");
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
