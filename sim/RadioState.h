// The part of the tester's firmware that takes over the configuration cells and mails of the
// host into VirtualTester::radio, and logs what it cannot make sense of.
#pragma once

#include <memory>

#include "SimComponent.h"

namespace tavrin::sim {

class RadioState final : public SimComponent {
public:
    bool OnMail(VirtualTester& tester, uint8_t cls, const uint8_t* body, uint8_t count) override;
    void OnCellWrite(VirtualTester& tester, uint32_t address, uint8_t value) override;

private:
    void TakeLevel(VirtualTester& tester);
    void TakeDummyBearer(VirtualTester& tester);
    void ServiceMail(VirtualTester& tester, const uint8_t* body, uint8_t count);
    void RunningTest(VirtualTester& tester);
};

}  // namespace tavrin::sim
