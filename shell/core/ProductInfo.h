#pragma once
// The product information shown in window captions, the about box, wizards, report titles,
// gallery pages and the video form. Filled once at start-up, after LoadLanguage, and read-only
// afterwards.
#include <QString>

struct TProductInfo {
    QString ProductName;
    QString EditionText;    // after the product name in the main window caption
    QString VersionText;
    QString CompanyName;
    QString MailAddress;    // without "mailto:"
    QString WebText;        // the web address as shown
    QString WebURL;         // opened by the about box and the update menu
    QString FooterURL;      // link at the foot of gallery pages
    QString FooterCompany;
    int ContactOnly = 0;    // non-zero: the about box shows a contact link and no mail line
    QString AboutImage;     // file names in the program folder's "recom/"
    QString SideImage;
    QString BannerImage;
    QString HelpFile;       // file name in the program folder's "help/"
};

extern TProductInfo ProductInfo;

// The values for a language section name ("GERMAN", "ENGLISH", "SWEDISH"; case is ignored, as
// for the texts of Language.ini); any other name gives the German values.
TProductInfo MakeProductInfo(const QString& languageName);
// Fills ProductInfo for LanguageName.
void FillProductInfo();
