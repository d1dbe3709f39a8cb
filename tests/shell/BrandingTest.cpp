#include "Branding.h"

#include "AppContext.h"
#include "TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

struct Expected
{
    QString webMenuText;
    QString webURL;
    QString defaultPaper;
    int showExplorer;
    QString aboutText;
};

struct Case
{
    const char* what;
    QByteArray file;
    Expected expected;
};

} // namespace

TEST(BrandingTest, SettingsOfTheFile)
{
    const Case cases[] = {
        {"every key, CR LF",
         "[WebMenuText]=Visit &Shelfline\r\n[WebURL]=https://shelfline.example/\r\n"
         "[DefaultPaper]=Letter\r\n[ShowExplorer]=0\r\n[HelpAboutText]=Sold by Shelfline\r\n",
         {"Visit &Shelfline", "https://shelfline.example/", "Letter", 0, "Sold by Shelfline"}},
        {"LF only, no line end at the end",
         "[DefaultPaper]=A5\n[WebURL]=http://a.example",
         {"", "http://a.example", "A5", 1, ""}},
        {"a key in another case is no key",
         "[webmenutext]=lower\n[WEBURL]=upper\n[DefaultPaper]=A6\n",
         {"", "", "A6", 1, ""}},
        {"the value is kept as written",
         "[WebURL]= http://blank.example \n[DefaultPaper]=\n",
         {"", " http://blank.example ", "", 1, ""}},
        {"a key must start the line",
         " [WebURL]=indented\nx[DefaultPaper]=A5\n; [ShowExplorer]=0\n",
         {"", "", "", 1, ""}},
        {"a later line of a key wins",
         "[DefaultPaper]=A5\n[DefaultPaper]=Letter\n",
         {"", "", "Letter", 1, ""}},
        {"the About text takes every line after it",
         "[WebURL]=first\n[HelpAboutText]=Line one\n\n[WebURL]=second\nLast line\n",
         {"", "first", "", 1, "Line one\r\n\r\n[WebURL]=second\r\nLast line"}},
        {"ShowExplorer that is not a number", "[ShowExplorer]=yes\n", {"", "", "", 0, ""}},
        {"ShowExplorer is a switch", "[ShowExplorer]=  12 labels\n", {"", "", "", 1, ""}},
        {"Windows-1252 text",
         "[HelpAboutText]=Caf\xe9 \x80 5\r\nZ\xfc"
         "rich",
         {"", "", "", 1, QString::fromUtf8("Café € 5\r\nZürich")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CBranding b;
        b.Parse(c.file);
        EXPECT_EQ(b.webMenuText, c.expected.webMenuText);
        EXPECT_EQ(b.webURL, c.expected.webURL);
        EXPECT_EQ(b.defaultPaper, c.expected.defaultPaper);
        EXPECT_EQ(b.showExplorer, c.expected.showExplorer);
        EXPECT_EQ(b.aboutText, c.expected.aboutText);
    }
}

TEST(BrandingTest, MissingFileKeepsTheDefaults)
{
    CTestHome home;
    CBranding b;
    EXPECT_FALSE(b.Read(CBranding::FilePath()));
    EXPECT_EQ(b.webMenuText, "");
    EXPECT_EQ(b.webURL, "");
    EXPECT_EQ(b.StartPaper(), "A4");
    EXPECT_EQ(b.showExplorer, 1);
    EXPECT_EQ(b.aboutText, "");

    QFile file(home.FilePath("OEM.zel"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[WebURL]=https://reseller.example/\r\n[DefaultPaper]=Letter\r\n");
    file.close();
    EXPECT_EQ(CBranding::FilePath(), home.FilePath("OEM.zel"));
    EXPECT_TRUE(b.Read(CBranding::FilePath()));
    EXPECT_EQ(b.webURL, "https://reseller.example/");
    EXPECT_EQ(b.StartPaper(), "Letter");
}
