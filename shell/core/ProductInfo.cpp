#include "shell/core/ProductInfo.h"

#include "platform/vcl/SysUtils.h"
#include "shell/core/Language.h"

TProductInfo ProductInfo;

TProductInfo MakeProductInfo(const QString& languageName)
{
    enum { German, English, Swedish } language = German;
    if (SameText(languageName, QStringLiteral("ENGLISH")))
        language = English;
    else if (SameText(languageName, QStringLiteral("SWEDISH")))
        language = Swedish;
    const auto pick = [language](const char* de, const char* en, const char* sv) {
        return QString::fromUtf8(language == English ? en : language == Swedish ? sv : de);
    };

    TProductInfo p;
    p.ProductName = QStringLiteral("Korvanta");
    p.EditionText = pick("Diashow-Studio", "Slideshow Studio", "Bildspelsstudio");
    p.VersionText = pick("Version 0.1", "Version 0.1", "Version 0.1");
    p.CompanyName = QStringLiteral("Korvanta Project");
    p.MailAddress = QStringLiteral("info@example.org");
    p.WebText = QStringLiteral("www.example.org");
    p.WebURL = QStringLiteral("https://www.example.org/korvanta/");
    p.FooterURL = QStringLiteral("https://www.example.org/");
    p.FooterCompany = QStringLiteral("Korvanta Project");
    p.ContactOnly = 0;
    p.AboutImage = QStringLiteral("about.png");
    p.SideImage = QStringLiteral("side.png");
    p.BannerImage = QStringLiteral("banner.png");
    p.HelpFile = QStringLiteral("index.html");
    return p;
}

void FillProductInfo()
{
    ProductInfo = MakeProductInfo(LanguageName);
}
