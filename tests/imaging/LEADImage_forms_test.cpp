// Every TLEADImage property that a form description sets must be a writable property of the
// control (uic calls its writer by name); the fixture form is also compiled by uic here.
#include "ImagingFixtures.h"
#include "support/TestEnv.h"

#include "ui_leadimage-properties.h"

#include <QDir>
#include <QMetaProperty>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace imgtest;

namespace {

// "<widget>.<property>" for each property of a TLEADImage widget in the form that the control
// does not have or cannot write, and "<widget>: <error>" when the form cannot be read.
// Dynamic properties (stdset="0") are the framework's and not checked.
QStringList UnknownLeadImageProperties(const QByteArray& ui)
{
    QStringList problems;
    QXmlStreamReader xml(ui);
    struct Open {
        bool leadImage;
        QString name;
    };
    std::vector<Open> widgets;
    int depth = 0;
    std::vector<int> widgetDepth;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (xml.name() == u"widget") {
                widgets.push_back({xml.attributes().value("class") == u"TLEADImage",
                                   xml.attributes().value("name").toString()});
                widgetDepth.push_back(depth);
            } else if (xml.name() == u"property" && !widgets.empty() && widgets.back().leadImage &&
                       depth == widgetDepth.back() + 1 && xml.attributes().value("stdset") != u"0") {
                const QByteArray name = xml.attributes().value("name").toLatin1();
                const int index = TLEADImage::staticMetaObject.indexOfProperty(name.constData());
                if (index < 0 || !TLEADImage::staticMetaObject.property(index).isWritable())
                    problems << widgets.back().name + "." + QString::fromLatin1(name);
            }
        } else if (xml.isEndElement()) {
            if (!widgetDepth.empty() && widgetDepth.back() == depth) {
                widgets.pop_back();
                widgetDepth.pop_back();
            }
            --depth;
        }
    }
    if (xml.hasError())
        problems << "form: " + xml.errorString();
    return problems;
}

TEST(LEADImageForms, EveryPropertyTheProgramsFormsSetExists)
{
    const QDir forms(kvtest::SourceDir() + "forms");
    for (const QString& file : forms.entryList({"*.ui"}, QDir::Files, QDir::Name)) {
        SCOPED_TRACE(S(file));
        const QByteArray ui = ReadBytes(forms.filePath(file));
        EXPECT_EQ(UnknownLeadImageProperties(ui), QStringList());
    }
}

TEST(LEADImageForms, TheCheckFindsWhatTheControlLacks)
{
    const QByteArray fixture = ReadBytes(kvtest::SourceDir() + "tests/data/imaging/leadimage-properties.ui");
    ASSERT_FALSE(fixture.isEmpty());
    EXPECT_EQ(UnknownLeadImageProperties(fixture), QStringList());

    QByteArray broken = fixture;
    broken.replace("<property name=\"PaintEffect\">", "<property name=\"PaintEfect\">");
    broken.replace("<property name=\"AutoRepaint\">", "<property name=\"autoRepaint\">");
    // A property of a child widget of another class is not the control's business.
    broken.replace("</widget>\n </widget>",
                   "</widget>\n  <widget class=\"QLabel\" name=\"Label1\">\n   <property name=\"PaintEfect\">\n"
                   "    <number>1</number>\n   </property>\n  </widget>\n </widget>");
    EXPECT_EQ(UnknownLeadImageProperties(broken),
              (QStringList{"ViewLEADImage.autoRepaint", "ViewLEADImage.PaintEfect"}));
}

TEST(LEADImageForms, UicSetsThePropertiesThroughTheControlsWriters)
{
    QWidget form;
    Ui::LeadImagePropertiesForm ui;
    ui.setupUi(&form);
    TLEADImage* image = ui.ViewLEADImage;
    EXPECT_EQ(image->objectName(), "ViewLEADImage");
    EXPECT_EQ(image->PaintSizeMode(), TLEADImage::smFit);
    EXPECT_FALSE(image->AutoRepaint());
    EXPECT_EQ(image->BackColor(), 16777215);
    EXPECT_EQ(image->PaintEffect(), 2001);
    EXPECT_EQ(image->PanWinTitle(), "Overview");
    EXPECT_FALSE(image->EnableMethodErrors());
    EXPECT_EQ(image->property("Tag").toInt(), 3);
    EXPECT_EQ(image->width(), 300);
}

} // namespace
