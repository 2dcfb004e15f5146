// The duel socket's events.
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/receiver.hpp"

namespace tw::win {

void FormA::Winsock1_DataArrival(long) { ReceiveDuelData(tw_); }

}  // namespace tw::win
