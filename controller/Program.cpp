// Program.cpp: helpers over the controller's process-wide state.
#include "Program.h"

std::string TextAt(int index) {
    if (!TextList) return "index error";
    return TextList->Get(index);
}
