#pragma once

#include <cstdint>

// A message to the main window: its number, two 32-bit parameters and a result, as the window
// routes it through TFormDisplay::Dispatch.
struct TMessage {
  uint32_t Msg = 0;
  int32_t WParam = 0;
  int32_t LParam = 0;
  int32_t Result = 0;
};

// The message that asks the window to select a row of the runs table (the platform's
// WM_COPYDATA number); WParam holds the row number counted from 1.
inline constexpr uint32_t kSelectRunMessage = 74;
