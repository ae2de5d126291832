#pragma once
// The program's windows, one global each, made once at start-up in the program's order
// (shell/Start.cpp), parented to the main window and kept until the program ends. Windows
// reach each other through these. Each global is defined in its window's unit.
class TMainForm;
class TAboutBox;
class TOpenForm;
class TNewForm;
class TNoDriverForm;
class TTipForm;
class TWerbungForm;
class TExportForm;
class TAnweisungForm;
class TZuschneidenTipForm;
class TVerschiebenTipForm;
class TOnlineFotoForm;
class TPrintSelectForm;
class TPrintSizeWizard;
class TQRListForm;
class TQRListA5Form;
class TQRThumbnailForm;
class TWaveForm;
class TCheckAudioForm;
class TMakeWizzard;
class TZuschneidenTipForm2;
class TBetrachterForm;
class TDVDWizardForm;
class TDVDForm;
class TBildbeaerbeitungForm;
class TLeadEffectsForm;
class TSizeForm;
class THTMLForm;
class TFTPForm;

extern TMainForm* MainForm;
extern TAboutBox* AboutBox;
extern TOpenForm* OpenForm;
extern TNewForm* NewForm;
extern TNoDriverForm* NoDriverForm;
extern TTipForm* TipForm;
extern TWerbungForm* WerbungForm;
extern TExportForm* ExportForm;
extern TAnweisungForm* AnweisungForm;
extern TZuschneidenTipForm* ZuschneidenTipForm;
extern TVerschiebenTipForm* VerschiebenTipForm;
extern TOnlineFotoForm* OnlineFotoForm;
extern TPrintSelectForm* PrintSelectForm;
extern TPrintSizeWizard* PrintSizeWizard;
extern TQRListForm* QRListForm;
extern TQRListA5Form* QRListA5Form;
extern TQRThumbnailForm* QRThumbnailForm;
extern TWaveForm* WaveForm;
extern TCheckAudioForm* CheckAudioForm;
extern TMakeWizzard* MakeWizzard;
extern TZuschneidenTipForm2* ZuschneidenTipForm2;
extern TBetrachterForm* BetrachterForm;
extern TDVDWizardForm* DVDWizardForm;
extern TDVDForm* DVDForm;
extern TBildbeaerbeitungForm* BildbeaerbeitungForm;
extern TLeadEffectsForm* LeadEffectsForm;
extern TSizeForm* SizeForm;
extern THTMLForm* HTMLForm;
// The upload window made by the gallery window for its last upload request.
extern TFTPForm* FTPForm;
