#include "SimulatedClock.h"

namespace {

using namespace std::chrono;

constexpr sys_days kFirstDay = 2026y / January / 5;

// "14:02:11"
template <typename Duration>
void WriteHoursMinutesSeconds(LogTextWriter& out, const hh_mm_ss<Duration>& time) {
  out.Padded(static_cast<int>(time.hours().count()), 2).Text(":");
  out.Padded(static_cast<int>(time.minutes().count()), 2).Text(":");
  out.Padded(static_cast<int>(time.seconds().count()), 2);
}

}  // namespace

SimulatedClock::SimulatedClock() : now_(kFirstDay + 7h + 30min) {}

void SimulatedClock::AdvanceToNextSecond(int extraSeconds) {
  now_ = floor<seconds>(now_) + seconds(1 + extraSeconds);
}

void SimulatedClock::WriteDateTime(LogTextWriter& out) const {
  const year_month_day date(floor<days>(now_));
  out.Number(static_cast<int>(date.year())).Text("-");
  out.Padded(static_cast<int>(static_cast<unsigned>(date.month())), 2).Text("-");
  out.Padded(static_cast<int>(static_cast<unsigned>(date.day())), 2).Text(" ");
  WriteHoursMinutesSeconds(out, hh_mm_ss(floor<seconds>(now_ - floor<days>(now_))));
}

LogTextWriter& SimulatedClock::StartMessage(LogTextWriter& out) const {
  const hh_mm_ss time(now_ - floor<days>(now_));
  WriteHoursMinutesSeconds(out, time);
  return out.Text(".").Padded(static_cast<int>(time.subseconds().count()), 3).Text("  ");
}
