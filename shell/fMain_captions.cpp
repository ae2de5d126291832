// The main window's texts from the language file.
#include "shell/fMain.h"

#include "ui_fMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

const std::vector<TMainCaption>& TMainForm::CaptionTable()
{
    static const std::vector<TMainCaption> table = {
        {"AbbrechenBitBtn", LangText(515)},
        {"MakeDiashowBitBtn", LangText(516)},
        {"BetrachterBitBtn", LangText(517)},
        {"NewBitBtn", LangText(519)},
        {"Open1BitBtn", LangText(520)},
        {"Delete1BitBtn", LangText(521)},
        {"Diashow1", LangText(522)},
        {"CDfrFotolaborerstellen1", LangText(539)},
        {"Hilfe1", LangText(524)},
        {"OpenDiashow1", LangText(525)},
        {"NewDiashow1", LangText(526)},
        {"DeleteDiashow1", LangText(527)},
        {"Programmbeenden1", LangText(528)},
        {"Drucken1", LangText(537)},
        {"AlleDrucken1", LangText(6209)},
        {"AusgewhlteDrucken1", LangText(6207)},
        {"Hilfedatei1", LangText(531)},
        {"Update1", LangText(533)},
        {"Info1", LangText(534)},
        {"EinstellungenDiashow1", LangText(535)},
        {"Allgemein1", LangText(536)},
        {"TabSheet5", LangText(584)},
        {"TabSheet1", LangText(585)},
        {"TabSheet2", LangText(586)},
        {"TabSheet3", LangText(587)},
        {"TabSheet4", LangText(588)},
        {"OpenBitBtn", LangText(589), true},
        {"Label1", LangText(590)},
        {"OpenBitBtn", LangText(591)},
        {"DiashowLabel", LangText(592)},
        {"Label5", LangText(593)},
        {"TextLabel", LangText(596)},
        {"BildbearbeitungBitBtn", LangText(599)},
        {"SpeedButton6", LangText(603), true},
        {"SpeedButton5", LangText(604), true},
        {"SpeedButton7", LangText(605), true},
        {"SpeedButton9", LangText(606), true},
        {"SpeedButton10", LangText(607), true},
        {"SpeedButton1", LangText(608), true},
        {"SpeedButton2", LangText(609), true},
        {"SpeedButton3", LangText(610), true},
        {"SpeedButton4", LangText(611), true},
        {"GroupBox2", LangText(1002)},
        {"OpenAudioBitBtn", LangText(1003)},
        {"StartRipperBitBtn", LangText(1004)},
        {"InfoBitBtn", LangText(1005)},
        {"DeleteAudioBitBtn", LangText(1006)},
        {"PlayBitBtn", LangText(1008)},
        {"PauseBitBtn", LangText(1009)},
        {"StopBitBtn", LangText(1010)},
        {"AudioListBox", LangText(1011), true},
        {"GroupBox3", LangText(1101)},
        {"Label8", LangText(1102)},
        {"Label7", LangText(1103)},
        {"GroupBox8", LangText(1200)},
        {"GroupBox4", LangText(1104)},
        {"EndlessPlayCheckBox", LangText(1105)},
        {"FullscreenCheckBox", LangText(1106)},
        {"ManuellCheckBox", LangText(1107)},
        {"TextCheckBox", LangText(1108)},
        {"PictureNameCheckBox", LangText(1109)},
        {"TipsCheckBox", LangText(1110)},
        {"TextcolorButton", LangText(1111)},
        {"BKGColorButton", LangText(1112)},
        {"GroupBox7", LangText(1113)},
        {"TextOffsetLabel", LangText(1114)},
        {"GroupBox5", LangText(1115)},
        {"OFFRadioButton", LangText(1116)},
        {"ONRadioButton", LangText(1117)},
        {"RNDRadioButton", LangText(1118)},
        {"Label27", LangText(1119)},
        {"ShowAgainButton", LangText(1120)},
        {"GroupBox1", LangText(1121)},
        {"PathButton", LangText(1122)},
    };
    return table;
}

void TMainForm::SetCaptions()
{
    for (const TMainCaption& caption : CaptionTable()) {
        QObject* component = findChild<QObject*>(QLatin1String(caption.Component));
        const QString text = caption.Text.Text();
        if (caption.Hint) {
            if (auto* widget = qobject_cast<QWidget*>(component))
                widget->setToolTip(text);
            else if (auto* action = qobject_cast<QAction*>(component))
                action->setToolTip(text);
            continue;
        }
        // Tabs and menus are found by their component names like every other control.
        auto* widget = qobject_cast<QWidget*>(component);
        if (const int tab = widget ? m_ui->PageControl1->indexOf(widget) : -1; tab >= 0)
            m_ui->PageControl1->setTabText(tab, text);
        else if (auto* menu = qobject_cast<QMenu*>(component))
            menu->setTitle(text);
        else if (auto* action = qobject_cast<QAction*>(component))
            action->setText(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(component))
            button->setText(text);
        else if (auto* group = qobject_cast<QGroupBox*>(component))
            group->setTitle(text);
        else if (auto* label = qobject_cast<QLabel*>(component))
            label->setText(text);
    }
    // The first menu holds the archive's commands and is named after the archive tab.
    m_ui->Datei1->setTitle(GetLangText(584));
}
