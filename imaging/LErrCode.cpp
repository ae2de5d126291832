#include "imaging/LErrCode.h"

#include <array>
#include <cstddef>

namespace {

// One text shared by every code from first down to last.
struct CodeRun {
    int first;
    int last;
    const char* text;
};

// Codes 1 down to -400.
constexpr CodeRun kMainRuns[] = {
    {1, 1, ""},
    {0, 0, "Function not successful"},
    {-1, -1, "Not enough memory available"},
    {-2, -2, "Invalid bitmap handle"},
    {-3, -3, "Not enough memory available"},
    {-4, -4, "Error seeking to position"},
    {-5, -5, "Error writing file"},
    {-6, -6, "File not present - abort"},
    {-7, -7, "Error reading file"},
    {-8, -8, "Invalid filename specified"},
    {-9, -9, "Invalid file format"},
    {-10, -10, "File not found"},
    {-11, -11, "Invalid width/height"},
    {-12, -12, "Image format recognized, but sub-type not supported"},
    {-13, -13, "Invalid parmameter passed"},
    {-14, -14, "Not able to open file"},
    {-15, -15, "Unknown compression format"},
    {-16, -16, "Feature not supported"},
    {-17, -17, "VGA card only supports 256 colors (8 bit)"},
    {-18, -18, "Printer error"},
    {-19, -19, "Data CRC check error"},
    {-20, -20, "Undefined Error"},
    {-21, -21, "Invalid QFactor specified"},
    {-22, -22, "TARGA not installed"},
    {-23, -23, "Invalid compression format"},
    {-24, -24, "X origin specified invalid"},
    {-25, -25, "Y origin specified invalid"},
    {-26, -26, "Invalid video mode"},
    {-27, -27, "Invalid bits/pixel"},
    {-28, -28, "Invalid window size"},
    {-29, -29, "Escape key pressed"},
    {-30, -62, "Internal error - call LEAD"},
    {-63, -64, "fixed palette data not found"},
    {-65, -65, "stamp not found"},
    {-66, -69, "Undefined Error"},
    {-70, -70, "invalid group 3 dat"},
    {-71, -71, "group3 code end of file"},
    {-72, -72, "group3 code end of code"},
    {-73, -73, "premature EOF at scanline"},
    {-74, -77, "premature end-of-line code"},
    {-78, -78, "bad version number"},
    {-79, -79, "source manager not found"},
    {-80, -80, "Failure due to unknown causes"},
    {-81, -81, "Not enough memory to perform operation"},
    {-82, -82, "No Data Source"},
    {-83, -83, "DS is connected to max possible apps"},
    {-84, -84, "DS or DSM reported error, app shouldn't"},
    {-85, -85, "Unknown capability"},
    {-86, -86, "Unrecognized MSG DG DAT combination"},
    {-87, -87, "Data parameter out of range"},
    {-88, -88, "DG DAT MSG out of expected sequence"},
    {-89, -89, "Unknown destination App/Src in DSM_Entry"},
    {-90, -90, "Operation was cancelled"},
    {-91, -91, "PanWindow was not created"},
    {-92, -92, "Not enough images"},
    {-93, -99, "Undefined Error"},
    {-100, -100, "User has aborted operation"},
    {-101, -101, "FlashPix : Invalid Format Error"},
    {-102, -102, "FlashPix : File Write Error"},
    {-103, -103, "FlashPix : File Read Error"},
    {-104, -104, "FlashPix : File Not Found Error"},
    {-105, -105, "FlashPix : Color Conversion Error"},
    {-106, -106, "FlashPix : Server Init Error"},
    {-107, -107, "FlashPix : Low Memory Error"},
    {-108, -108, "FlashPix : Image Too Big Error"},
    {-109, -109, "FlashPix : Invalid Compression Error"},
    {-110, -110, "FlashPix : Invalid Resolution Error"},
    {-111, -111, "FlashPix : Invalid Handle Error"},
    {-112, -112, "FlashPix : Too many Lines Error"},
    {-113, -113, "FlashPix : Bad Coordinates Error"},
    {-114, -114, "FlashPix : File System Full Error"},
    {-115, -115, "FlashPix : Missing Table Error"},
    {-116, -116, "FlashPix : Return Parameter Too Large Error"},
    {-117, -117, "FlashPix : Not A View Error"},
    {-118, -118, "FlashPix : View Is Transformless Error"},
    {-119, -119, "FlashPix : Error"},
    {-120, -120, "FlashPix : Unimplemented Function Error"},
    {-121, -121, "FlashPix : Invalid Image Description Error"},
    {-122, -122, "FlashPix : Invalid JPEG Table Error"},
    {-123, -123, "FlashPix : Illegal JPEG ID Error"},
    {-124, -124, "FlashPix : Memory Allocation Failed Error"},
    {-125, -125, "FlashPix : No Memory Management Error"},
    {-126, -126, "FlashPix : Object Creation Failed Error"},
    {-127, -127, "FlashPix : Extension Failed Error"},
    {-128, -128, "FlashPix : Free Null Pointer Error"},
    {-129, -129, "FlashPix : Invalid Tile Error"},
    {-130, -130, "FlashPix : File In Use Error"},
    {-131, -131, "FlashPix : File Create Error"},
    {-132, -132, "FlashPix : File Not Open Error"},
    {-133, -133, "FlashPix : User Abort Error"},
    {-134, -134, "FlashPix : OLE File Error"},
    {-135, -139, "Undefined Error"},
    {-140, -140, "Bad TIFF tag"},
    {-141, -141, "Stamp size is too big or invalid bits/pixel"},
    {-142, -142, "Stamp is present but data is corrupted"},
    {-143, -143, "Stamp error"},
    {-144, -145, "Image is empty"},
    {-146, -148, "Image error"},
    {-149, -149, "An unspecified exception occured"},
    {-150, -150, "Common dialog was canceled by user"},
    {-151, -151, "An error occured during creation of the common dialog"},
    {-152, -159, "Undefined Error"},
    {-160, -160, "No ISIS Scanner selected"},
    {-161, -162, "ISIS Scanner driver failed to load"},
    {-163, -163, "Bad ISIS Tag or Bad Tag Value"},
    {-164, -164, "ISIS Scanner not ready"},
    {-165, -165, "No page in the ISIS Scanner"},
    {-166, -166, "ISIS Scanner Jam error"},
    {-167, -167, "ISIS Scanner driver error"},
    {-168, -168, "ISIS Scanner is busy"},
    {-169, -169, "ISIS File driver error"},
    {-170, -170, "ISIS Network error"},
    {-171, -172, "ISIS is not installed"},
    {-173, -173, "ISIS version is incorrect"},
    {-174, -174, "ISIS No permission/access"},
    {-175, -179, "Undefined Error"},
    {-180, -180, "Document Not Initialized"},
    {-181, -181, "Invalid Document Handle"},
    {-182, -182, "Document Empty"},
    {-183, -183, "Invalid Document Font"},
    {-184, -184, "Invalid Document Page"},
    {-185, -185, "Invalid Document Rule"},
    {-186, -186, "Invalid Document Zone"},
    {-187, -187, "Invalid Document Zone Type"},
    {-188, -188, "Invalid Document Column"},
    {-189, -189, "Invalid Document Line"},
    {-190, -190, "Invalid Document Word"},
    {-191, -191, "Document error"},
    {-192, -192, "OCR Not Initialized"},
    {-193, -193, "OCR Maximum Regions Reached"},
    {-194, -194, "Invalid OCR Option"},
    {-195, -195, "OCR Convert DIB Error"},
    {-196, -196, "OCR Canceled"},
    {-197, -197, "OCR Invalid Output"},
    {-198, -198, "OCR Blocked"},
    {-199, -199, "These errors are used internally only by API code"},
    {-200, -200, "Fatal condition detected call technical support"},
    {-201, -201, "Bad tag in tag value set"},
    {-202, -202, "Value bad or out of range"},
    {-203, -203, "Wrong type used to make IO_TOKEN_T"},
    {-204, -204, "Cannot access specified file"},
    {-205, -205, "Invalid IO_TOKEN_T"},
    {-206, -206, "Invalid input format"},
    {-207, -207, "Image incompatible with IO_TOKEN_T"},
    {-208, -208, "Param combination not supported or file format legal but not supported"},
    {-209, -209, "Invalid index for language/lexicon"},
    {-210, -210, "Language not loaded/installed"},
    {-211, -211, "Too many langauge packs, remove one"},
    {-212, -212, "No image source declared"},
    {-213, -213, "ICR must be idle to make this call"},
    {-214, -214, "ICR not blocked on verification"},
    {-215, -215, "ICR not blocked on  progress draw"},
    {-216, -216, "ICR process memory error"},
    {-217, -217, "Region index error"},
    {-218, -218, "Server not found or down"},
    {-219, -219, "There are no active io_tokens in API"},
    {-220, -220, "Nothing (more) to read"},
    {-221, -221, "ICR must be waiting to make this call"},
    {-222, -222, "Too many lexicons, remove one"},
    {-223, -223, "Bitmap preprocessing failed"},
    {-224, -224, "Bad file or file content associated with the passed IO_TOKEN_T"},
    {-225, -225, "Scanner failure"},
    {-226, -226, "Preprocessing, Recognition, or region retrieval with no image"},
    {-227, -228, "Recognition error"},
    {-229, -229, "Local (API library) memory error"},
    {-230, -230, "Image resolution change within a document too many times"},
    {-231, -231, "Bad Polygon used to define region extents; probably beyond the \ndimensions of the source image or bad vertices."},
    {-232, -232, "No sink token available for use with regions et. al."},
    {-233, -233, "No source token available for use with user defined input et. al."},
    {-234, -234, "Unable to specify token to unblock ICR - user managed I/O _APP"},
    {-235, -235, "Image buffer full/overflow"},
    {-236, -236, "Timeout error on IPC to server"},
    {-237, -237, "Server is for wrong version"},
    {-238, -238, "Tag cannot have value changed at this time"},
    {-239, -239, "Server cancelled processing on its initiative \n- page may be too complex for selected mode"},
    {-240, -240, "I/O write failed (no space)"},
    {-241, -241, "Scan canceled by user at scanner (using button or Scanner UI)"},
    {-242, -242, "Region is totally occluded"},
    {-243, -243, "Could not orient text"},
    {-244, -244, "Recognition error"},
    {-245, -245, "Invalid UOR passed to the server"},
    {-246, -249, "Undefined Error"},
    {-250, -250, "Wave device is currently recording"},
    {-251, -251, "Invalid compressor"},
    {-252, -252, "Problem with sound card"},
    {-253, -253, "The sound card is currently in use"},
    {-254, -254, "Invalid track for operation"},
    {-255, -255, "No sound card is present"},
    {-256, -256, "Not currently recording"},
    {-257, -257, "Invalid open mode for operation"},
    {-258, -258, "No video module present on machine"},
    {-259, -259, "The buffer queue is full"},
    {-260, -260, "configuration was successful, but you need to restart Windows"},
    {-261, -261, "Invalid handle"},
    {-262, -269, "Undefined Error"},
    {-270, -270, "Host Resolve Error"},
    {-271, -271, "Can't Initialize"},
    {-272, -272, "No Connection"},
    {-273, -273, "Host Not Found"},
    {-274, -274, "Not a Server"},
    {-275, -275, "No Connections"},
    {-276, -276, "Connection Refused"},
    {-277, -277, "Computer is already connected"},
    {-278, -278, "Network is unreachable from host"},
    {-279, -279, "Connection attempt timeout"},
    {-280, -280, "Network subsystem is down"},
    {-281, -281, "No buffer space available, too many connections"},
    {-282, -282, "No file handles available"},
    {-283, -283, "Data has been queued"},
    {-284, -284, "Unknown network error has occured"},
    {-285, -285, "Connection was reset - socket might be unusable"},
    {-286, -286, "Transfer was aborted"},
    {-287, -287, "DirectShow isn't installed correctly"},
    {-288, -288, "Error reading from the registry"},
    {-289, -289, "The wave format is not supported"},
    {-290, -290, "The buffer size is too small"},
    {-291, -291, "Error converting the wave format"},
    {-292, -292, "Wave format error"},
    {-293, -293, "Error connecting to capture device"},
    {-294, -294, "Error disconnecting capture device"},
    {-295, -295, "Not enough disk space"},
    {-296, -296, "Error setting capture overlay"},
    {-297, -297, "Error setting capture preview"},
    {-298, -299, "Error copying to clipboard"},
    {-300, -300, "Operation invalid during capture"},
    {-301, -301, "No streams to play"},
    {-302, -302, "Error creating streams"},
    {-303, -303, "Error deleting frames"},
    {-304, -308, "Undefined Error"},
    {-309, -309, "The DXF filter is needed to use this function"},
    {-310, -310, "Page not found"},
    {-311, -311, "You cannot delete a page from a file containing only one page"},
    {-312, -312, "There is no hotkey"},
    {-313, -313, "Error creating the hotkey window"},
    {-314, -315, "Page error"},
    {-316, -317, "Undefined Error"},
    {-318, -318, "Filter not available"},
    {-319, -319, "The JBIG filter is needed to use this function"},
    {-320, -320, "Capture still in process"},
    {-321, -321, "Invalid delay value"},
    {-322, -322, "Invalid capture count"},
    {-323, -323, "Invalid interval value"},
    {-324, -324, "Hotkey cannot be the same as the cancel key"},
    {-325, -325, "Wrong area type"},
    {-326, -326, "Invalid options structure pointer"},
    {-327, -327, "Invalid fill pattern"},
    {-328, -328, "Invalid Line Style"},
    {-329, -329, "Invalid infowindow position"},
    {-330, -330, "Invalid infowindow size"},
    {-331, -331, "Zero area size"},
    {-332, -332, "The specified file couldn't be read"},
    {-333, -333, "The specified file is not a valid 32bit EXE/DLL"},
    {-334, -335, "The specified resource type is not supported"},
    {-336, -336, "No active window"},
    {-337, -337, "Can't capture window"},
    {-338, -338, "Undefiend string ID"},
    {-339, -339, "Delay less than zero"},
    {-340, -340, "Not a valid menu"},
    {-341, -349, "Undefined Error"},
    {-350, -350, "directory browsing failed "},
    {-351, -351, "There is nothing to do!"},
    {-352, -352, "Directory error"},
    {-353, -359, "Undefined Error"},
    {-360, -360, "The horizontal size is outside the specification "},
    {-361, -361, "The veritical size is outside the specification"},
    {-362, -362, "Invalid pel aspect ratio"},
    {-363, -363, "Invalid bitrate"},
    {-364, -364, "VBV Buffer Size is isn't valid"},
    {-365, -365, "Invalid chroma format"},
    {-366, -366, "Invalid video format"},
    {-367, -367, "Invalid number of color primaries"},
    {-368, -368, "Invalid number of transfer characteristics"},
    {-369, -369, "Invalid number of matrix coeeficients"},
    {-370, -370, "Invalid horizontal display size"},
    {-371, -371, "Invalid vertical display size"},
    {-372, -372, "Invalid Intra DC Precision"},
    {-373, -373, "Invalid f code"},
    {-374, -374, "Invalid motion data search window"},
    {-375, -375, "Invalid profile id"},
    {-376, -376, "Invalid level id"},
    {-377, -377, "Encoder doesn't support scalabale bitstreams"},
    {-378, -378, "Undefined Profile & Level id combination"},
    {-379, -379, "B Pictures not allowed"},
    {-380, -380, "Repeat first must be zero"},
    {-381, -381, "Invalid frame rate"},
    {-382, -399, "Undefined Error"},
    {-400, -400, "Unknown error"},
};

// Codes -901 down to -916.
constexpr CodeRun kSecondRuns[] = {
    {-901, -901, "Internal error"},
    {-902, -902, "Not enough memory available"},
    {-903, -903, "Error opening file"},
    {-904, -904, "Error reading file"},
    {-905, -905, "Error writing file"},
    {-906, -906, "Error seeking to position"},
    {-907, -907, "Error end of file"},
    {-908, -908, "Invalid file format"},
    {-909, -909, "Invalid parameter passed"},
    {-910, -910, "Invalid image"},
    {-911, -911, "Invalid compression"},
    {-912, -912, "Invalid photometric value"},
    {-913, -913, "Error during conversion"},
    {-914, -914, "Value out of range"},
    {-915, -915, "Invalid bits per pixel"},
    {-916, -916, "Invalid QFactor"},
};

constexpr int kMainFirst = 1;
constexpr int kMainLast = -400;
constexpr int kSecondFirst = -901;
constexpr int kSecondLast = -916;

// The table for codes first down to last, the entry of a code at index first - code.
// Compiling fails when a run leaves the range or a code is covered twice or not at all.
template <std::size_t N, std::size_t R>
constexpr std::array<const char*, N> BuildTable(int first, const CodeRun (&runs)[R])
{
    std::array<const char*, N> table{};
    for (const CodeRun& run : runs) {
        for (int code = run.first; code >= run.last; --code) {
            const int index = first - code;
            if (index < 0 || index >= static_cast<int>(N) || table[index] != nullptr)
                throw "code run overlaps or leaves the table";
            table[index] = run.text;
        }
    }
    for (const char* text : table) {
        if (text == nullptr)
            throw "code without a text";
    }
    return table;
}

constexpr auto kMainTable = BuildTable<kMainFirst - kMainLast + 1>(kMainFirst, kMainRuns);
constexpr auto kSecondTable = BuildTable<kSecondFirst - kSecondLast + 1>(kSecondFirst, kSecondRuns);
static_assert(kMainTable.size() == 402 && kSecondTable.size() == 16);

} // namespace

QString LeadErrorText(int code)
{
    if (code >= kSecondLast && code <= kSecondFirst)
        return QString::fromLatin1(kSecondTable[kSecondFirst - code]);
    if (code >= kMainLast && code <= kMainFirst)
        return QString::fromLatin1(kMainTable[kMainFirst - code]);
    return QStringLiteral("Undefined Error: ") + QString::number(code);
}

// ---- TLeadErrorReporter -------------------------------------------------------------------

QString TLeadErrorReporter::FailureMessage(const QString& operation, int code) const
{
    return ComponentName() + QStringLiteral(" \nError code: ") + QString::number(code)
           + QLatin1Char('\n') + operation + QStringLiteral(": ") + LeadErrorText(code)
           + QLatin1Char(' ');
}

int TLeadErrorReporter::ReportResult(const QString& operation, int code)
{
    return ReportResultIf(operation, code, true);
}

int TLeadErrorReporter::ReportResultIf(const QString& operation, int code, bool raiseOnError)
{
    m_lastError = code;
    if (code != 1 && m_enableMethodErrors && raiseOnError)
        throw ELeadImageError(FailureMessage(operation, code), code);
    return code;
}

void TLeadErrorReporter::RaiseResult(const QString& operation, int code)
{
    m_lastError = code;
    throw ELeadImageError(FailureMessage(operation, code), code);
}

void TLeadErrorReporter::CheckProcessingAllowed()
{
    if (IsAnimationPlaying())
        RaiseResult(QStringLiteral("Animation"), -16);
    if (IsProcessingLocked())
        RaiseResult(QStringLiteral("Processing not allowed"), 0);
}

int TLeadErrorReporter::CheckAllocated(const QString& operation, int skipCheck)
{
    CheckProcessingAllowed();
    if (skipCheck != 1) {
        if (!IsImageHeld())
            RaiseNotAllocated(operation);
        m_lastError = 1;
    }
    return m_lastError;
}

void TLeadErrorReporter::RaiseNotAllocated(const QString& operation)
{
    RaiseOperationError(operation, QStringLiteral("Image not allocated."), -2);
}

void TLeadErrorReporter::RaiseOperationError(const QString& operation, const QString& detail, int code)
{
    m_lastError = code;
    RaiseText(operation + QStringLiteral(": ") + detail, code);
}

void TLeadErrorReporter::RaiseInvalidValue(const QString& propertyName)
{
    RaiseOperationError(QLatin1Char(' ') + propertyName, QStringLiteral("Invalid value passed."), -13);
}

void TLeadErrorReporter::RaiseText(const QString& text, int code) const
{
    throw ELeadImageError(ComponentName() + QStringLiteral(" \n") + text, code);
}

void TLeadErrorReporter::SuspendMethodErrors()
{
    if (m_suspendDepth++ == 0) {
        m_savedMethodErrors = m_enableMethodErrors;
        m_enableMethodErrors = false;
    }
}

void TLeadErrorReporter::ResumeMethodErrors()
{
    if (m_suspendDepth == 0)
        return;
    if (--m_suspendDepth == 0)
        m_enableMethodErrors = m_savedMethodErrors;
}
