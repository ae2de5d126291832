#pragma once
// Internal to the application object: what the forms ask of the long-work bookkeeping.
class TForm;

namespace app_detail {

// During long work, holds the close request of form (the main window) and returns true; it
// is replayed once the work has returned.
bool HoldMainClose(TForm* form);

} // namespace app_detail
