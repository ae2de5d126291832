#include "imaging/LErrCode.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

namespace {

std::string S(const QString& s) { return s.toStdString(); }

// ---- LeadErrorText ------------------------------------------------------------------------

struct TextCase {
    int code;
    const char* text;
};

TEST(LeadErrorText, RangeEdgesAndCodesOutsideTheTables)
{
    const TextCase cases[] = {
        {2, "Undefined Error: 2"},
        {1, ""},
        {0, "Function not successful"},
        {-1, "Not enough memory available"},
        {-399, "Undefined Error"},
        {-401, "Undefined Error: -401"},
        {-900, "Undefined Error: -900"},
        {-902, "Not enough memory available"},
        {-916, "Invalid QFactor"},
        {-917, "Undefined Error: -917"},
        {1000, "Undefined Error: 1000"},
        {INT_MAX, "Undefined Error: 2147483647"},
        {INT_MIN, "Undefined Error: -2147483648"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(S(LeadErrorText(c.code)), c.text) << "code " << c.code;
}

TEST(LeadErrorText, ReservedCodesSayUndefinedWithoutANumber)
{
    const int reserved[] = {-20, -66, -69, -93, -99, -135, -139, -152, -159, -175, -179,
                            -246, -249, -262, -269, -304, -308, -316, -317, -341, -349,
                            -353, -359, -382, -399};
    for (int code : reserved)
        EXPECT_EQ(S(LeadErrorText(code)), "Undefined Error") << "code " << code;
}

TEST(LeadErrorText, ExactTextsKeepTheirSpellingSpacingAndLineBreaks)
{
    const TextCase cases[] = {
        {-2, "Invalid bitmap handle"},
        {-13, "Invalid parmameter passed"},
        {-17, "VGA card only supports 256 colors (8 bit)"},
        {-29, "Escape key pressed"},
        {-30, "Internal error - call LEAD"},
        {-62, "Internal error - call LEAD"},
        {-63, "fixed palette data not found"},
        {-64, "fixed palette data not found"},
        {-70, "invalid group 3 dat"},
        {-74, "premature end-of-line code"},
        {-77, "premature end-of-line code"},
        {-84, "DS or DSM reported error, app shouldn't"},
        {-100, "User has aborted operation"},
        {-116, "FlashPix : Return Parameter Too Large Error"},
        {-134, "FlashPix : OLE File Error"},
        {-140, "Bad TIFF tag"},
        {-144, "Image is empty"},
        {-145, "Image is empty"},
        {-149, "An unspecified exception occured"},
        {-161, "ISIS Scanner driver failed to load"},
        {-162, "ISIS Scanner driver failed to load"},
        {-172, "ISIS is not installed"},
        {-199, "These errors are used internally only by API code"},
        {-211, "Too many langauge packs, remove one"},
        {-215, "ICR not blocked on  progress draw"},
        {-231, "Bad Polygon used to define region extents; probably beyond the \ndimensions of the "
               "source image or bad vertices."},
        {-239, "Server cancelled processing on its initiative \n- page may be too complex for "
               "selected mode"},
        {-260, "configuration was successful, but you need to restart Windows"},
        {-298, "Error copying to clipboard"},
        {-299, "Error copying to clipboard"},
        {-334, "The specified resource type is not supported"},
        {-335, "The specified resource type is not supported"},
        {-338, "Undefiend string ID"},
        {-350, "directory browsing failed "},
        {-360, "The horizontal size is outside the specification "},
        {-361, "The veritical size is outside the specification"},
        {-364, "VBV Buffer Size is isn't valid"},
        {-369, "Invalid number of matrix coeeficients"},
        {-377, "Encoder doesn't support scalabale bitstreams"},
        {-378, "Undefined Profile & Level id combination"},
        {-381, "Invalid frame rate"},
        {-903, "Error opening file"},
        {-909, "Invalid parameter passed"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(S(LeadErrorText(c.code)), c.text) << "code " << c.code;
}

TEST(LeadErrorText, EveryTableCodeHasItsOwnTextAndOnlySuccessIsEmpty)
{
    auto checkRange = [](int first, int last) {
        for (int code = first; code >= last; --code) {
            const QString text = LeadErrorText(code);
            EXPECT_FALSE(text.startsWith(QStringLiteral("Undefined Error: "))) << "code " << code;
            EXPECT_EQ(text.isEmpty(), code == 1) << "code " << code;
        }
    };
    checkRange(1, -400);
    checkRange(-901, -916);
}

// ---- Reporting operations -----------------------------------------------------------------

class FakeControl : public TLeadErrorReporter {
public:
    QString name = QStringLiteral("LEADImage1");
    bool imageHeld = false;
    bool animationPlaying = false;
    bool processingLocked = false;

protected:
    QString ComponentName() const override { return name; }
    bool IsImageHeld() const override { return imageHeld; }
    bool IsAnimationPlaying() const override { return animationPlaying; }
    bool IsProcessingLocked() const override { return processingLocked; }
};

// The message and code of the ELeadImageError that f raises; fails when it raises nothing.
template <class F>
ELeadImageError Raised(F&& f)
{
    try {
        f();
    } catch (const ELeadImageError& e) {
        return e;
    }
    ADD_FAILURE() << "no ELeadImageError raised";
    return ELeadImageError(QStringLiteral("<nothing raised>"), INT_MIN);
}

TEST(LeadErrorReporter, StartsWithSuccessAndErrorsEnabled)
{
    FakeControl c;
    EXPECT_EQ(c.LastError(), 1);
    EXPECT_TRUE(c.EnableMethodErrors());
}

TEST(LeadErrorReporter, ReportResultRaisesTheFailureMessageAndKeepsTheCode)
{
    FakeControl c;
    const ELeadImageError e = Raised([&] { c.ReportResult(QStringLiteral("Size"), -9); });
    EXPECT_EQ(S(e.Message()), "LEADImage1 \nError code: -9\nSize: Invalid file format ");
    EXPECT_STREQ(e.what(), "LEADImage1 \nError code: -9\nSize: Invalid file format ");
    EXPECT_EQ(e.ErrorCode, -9);
    EXPECT_EQ(c.LastError(), -9);

    // A code outside the tables carries its number twice.
    const ELeadImageError u = Raised([&] { c.ReportResult(QStringLiteral("Load"), -500); });
    EXPECT_EQ(S(u.Message()), "LEADImage1 \nError code: -500\nLoad: Undefined Error: -500 ");
}

TEST(LeadErrorReporter, ReportResultReturnsTheCodeWhenSuccessfulOrSwitchedOff)
{
    FakeControl c;
    c.SetLastError(-7);
    EXPECT_EQ(c.ReportResult(QStringLiteral("Size"), 1), 1);
    EXPECT_EQ(c.LastError(), 1);

    c.setEnableMethodErrors(false);
    for (int code : {0, -2, -13, -916, -1000}) {
        EXPECT_EQ(c.ReportResult(QStringLiteral("Size"), code), code);
        EXPECT_EQ(c.LastError(), code);
    }
}

TEST(LeadErrorReporter, ReportResultIfRaisesOnlyWhenBothSwitchesAreOn)
{
    struct Case {
        bool methodErrors;
        bool raiseOnError;
        bool raises;
    };
    const Case cases[] = {{true, true, true}, {true, false, false}, {false, true, false}, {false, false, false}};
    for (const Case& k : cases) {
        FakeControl c;
        c.setEnableMethodErrors(k.methodErrors);
        bool raised = false;
        try {
            EXPECT_EQ(c.ReportResultIf(QStringLiteral("Load"), -10, k.raiseOnError), -10);
        } catch (const ELeadImageError& e) {
            raised = true;
            EXPECT_EQ(S(e.Message()), "LEADImage1 \nError code: -10\nLoad: File not found ");
        }
        EXPECT_EQ(raised, k.raises) << k.methodErrors << k.raiseOnError;
        EXPECT_EQ(c.LastError(), -10);
    }

    FakeControl c;
    EXPECT_EQ(c.ReportResultIf(QStringLiteral("Load"), 1, true), 1);
}

TEST(LeadErrorReporter, RaiseResultRaisesEvenForSuccessAndWithErrorsOff)
{
    FakeControl c;
    c.setEnableMethodErrors(false);
    const ELeadImageError e = Raised([&] { c.RaiseResult(QStringLiteral("FastRotate"), 1); });
    EXPECT_EQ(S(e.Message()), "LEADImage1 \nError code: 1\nFastRotate:  ");
    EXPECT_EQ(c.LastError(), 1);

    c.SetLastError(1);
    const ELeadImageError f = Raised([&] { c.RaiseResult(QStringLiteral("FastRotate"), -16); });
    EXPECT_EQ(S(f.Message()), "LEADImage1 \nError code: -16\nFastRotate: Feature not supported ");
    EXPECT_EQ(c.LastError(), -16);
}

TEST(LeadErrorReporter, ProcessingChecksRaiseWhateverTheSwitchSays)
{
    struct Case {
        bool animation;
        bool locked;
        const char* message; // nullptr: allowed
        int lastError;
    };
    const Case cases[] = {
        {false, false, nullptr, 1},
        {true, false, "LEADImage1 \nError code: -16\nAnimation: Feature not supported ", -16},
        {false, true, "LEADImage1 \nError code: 0\nProcessing not allowed: Function not successful ", 0},
        {true, true, "LEADImage1 \nError code: -16\nAnimation: Feature not supported ", -16},
    };
    for (bool methodErrors : {true, false}) {
        for (const Case& k : cases) {
            FakeControl c;
            c.setEnableMethodErrors(methodErrors);
            c.animationPlaying = k.animation;
            c.processingLocked = k.locked;
            c.imageHeld = true;
            if (k.message == nullptr) {
                EXPECT_NO_THROW(c.CheckProcessingAllowed());
                EXPECT_EQ(c.CheckAllocated(QStringLiteral("Size")), 1);
            } else {
                EXPECT_EQ(S(Raised([&] { c.CheckProcessingAllowed(); }).Message()), k.message);
                // CheckAllocated runs the same check first, even when told to skip its own.
                EXPECT_EQ(S(Raised([&] { c.CheckAllocated(QStringLiteral("Size"), 1); }).Message()),
                          k.message);
            }
            EXPECT_EQ(c.LastError(), k.lastError);
        }
    }
}

TEST(LeadErrorReporter, CheckAllocatedRaisesForAMissingImageUnlessSkipped)
{
    FakeControl c;
    c.setEnableMethodErrors(false);
    const ELeadImageError e = Raised([&] { c.CheckAllocated(QStringLiteral("RemoveRedeye")); });
    EXPECT_EQ(S(e.Message()), "LEADImage1 \nRemoveRedeye: Image not allocated.");
    EXPECT_EQ(e.ErrorCode, -2);
    EXPECT_EQ(c.LastError(), -2);

    // Skipping leaves LastError as it was; any other value than 1 still checks.
    c.SetLastError(-7);
    EXPECT_EQ(c.CheckAllocated(QStringLiteral("RemoveRedeye"), 1), -7);
    EXPECT_EQ(c.LastError(), -7);
    EXPECT_EQ(S(Raised([&] { c.CheckAllocated(QStringLiteral("Size"), 2); }).Message()),
              "LEADImage1 \nSize: Image not allocated.");

    c.imageHeld = true;
    c.SetLastError(-7);
    EXPECT_EQ(c.CheckAllocated(QStringLiteral("RemoveRedeye")), 1);
    EXPECT_EQ(c.LastError(), 1);
}

TEST(LeadErrorReporter, FixedTextRaisesNameTheControlAndIgnoreTheSwitch)
{
    struct Case {
        const char* what;
        std::function<void(FakeControl&)> raise;
        const char* message;
        int lastError; // the code raised as well; LastError before is 5
    };
    const Case cases[] = {
        {"not allocated", [](FakeControl& c) { c.RaiseNotAllocated(QStringLiteral("Save")); },
         "LEADImage1 \nSave: Image not allocated.", -2},
        {"invalid value", [](FakeControl& c) { c.RaiseInvalidValue(QStringLiteral("PDFXResolution")); },
         "LEADImage1 \n PDFXResolution: Invalid value passed.", -13},
        {"no bitmap list",
         [](FakeControl& c) {
             c.RaiseOperationError(QStringLiteral("BitmapListCount"), QStringLiteral("No bitmap list."), -2);
         },
         "LEADImage1 \nBitmapListCount: No bitmap list.", -2},
        {"no data link",
         [](FakeControl& c) {
             c.RaiseOperationError(QStringLiteral("ReadOnly"), QStringLiteral("No DataLink."), 0);
         },
         "LEADImage1 \nReadOnly: No DataLink.", 0},
    };
    for (const Case& k : cases) {
        FakeControl c;
        c.setEnableMethodErrors(false);
        c.SetLastError(5);
        const ELeadImageError e = Raised([&] { k.raise(c); });
        EXPECT_EQ(S(e.Message()), k.message) << k.what;
        EXPECT_EQ(e.ErrorCode, k.lastError) << k.what;
        EXPECT_EQ(c.LastError(), k.lastError) << k.what;
    }
}

TEST(LeadErrorReporter, RaiseTextLeavesLastErrorAlone)
{
    FakeControl c;
    c.SetLastError(-9);
    const ELeadImageError e =
        Raised([&] { c.RaiseText(QStringLiteral("PaintEffect: Invalid Property value"), -13); });
    EXPECT_EQ(S(e.Message()), "LEADImage1 \nPaintEffect: Invalid Property value");
    EXPECT_EQ(e.ErrorCode, -13);
    EXPECT_EQ(c.LastError(), -9);
}

TEST(LeadErrorReporter, NameIsTakenLiterallyEvenWithPlaceholders)
{
    FakeControl c;
    c.name = QStringLiteral("Bild%1_%s_%d_\u00e4");
    EXPECT_EQ(Raised([&] { c.ReportResult(QStringLiteral("Flip"), -1); }).Message(),
              QStringLiteral("Bild%1_%s_%d_\u00e4 \nError code: -1\nFlip: Not enough memory available "));
    EXPECT_EQ(Raised([&] { c.RaiseNotAllocated(QStringLiteral("Flip")); }).Message(),
              QStringLiteral("Bild%1_%s_%d_\u00e4 \nFlip: Image not allocated."));

    // An empty name still opens the message with the blank.
    c.name.clear();
    EXPECT_EQ(S(Raised([&] { c.ReportResult(QStringLiteral("Fill"), 0); }).Message()),
              " \nError code: 0\nFill: Function not successful ");
}

TEST(LeadErrorReporter, SuspendAndResumeNestAndRestoreTheOuterSetting)
{
    FakeControl c;
    c.SuspendMethodErrors();
    EXPECT_FALSE(c.EnableMethodErrors());
    EXPECT_EQ(c.ReportResult(QStringLiteral("Load"), -14), -14);
    c.SuspendMethodErrors();
    c.ResumeMethodErrors();
    EXPECT_FALSE(c.EnableMethodErrors()) << "inner resume ends the suspension early";
    c.ResumeMethodErrors();
    EXPECT_TRUE(c.EnableMethodErrors()) << "nested suspension lost the setting";

    // A resume without a suspend changes nothing, nor does it unbalance the next pair.
    c.ResumeMethodErrors();
    EXPECT_TRUE(c.EnableMethodErrors());
    c.SuspendMethodErrors();
    EXPECT_FALSE(c.EnableMethodErrors());
    c.ResumeMethodErrors();
    EXPECT_TRUE(c.EnableMethodErrors());

    // A control that had errors off keeps them off.
    c.setEnableMethodErrors(false);
    c.SuspendMethodErrors();
    c.ResumeMethodErrors();
    EXPECT_FALSE(c.EnableMethodErrors());
}

TEST(LeadImageExceptions, AreTheProgramsExceptions)
{
    try {
        throw EInvalidFieldType();
    } catch (const Exception& e) {
        EXPECT_EQ(S(e.Message()), "TLEADImage.DataField can only be connected to columns of type Blob");
    }
    try {
        throw ELeadImageError(QStringLiteral("x"), -2);
    } catch (const Exception& e) {
        EXPECT_EQ(S(e.Message()), "x");
    }
}

} // namespace
