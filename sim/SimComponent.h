// A part of the virtual tester's firmware: it sees the mails it knows, the cell writes of the
// host and the passing of time.
#pragma once

#include <cstdint>

namespace tavrin::sim {

class VirtualTester;

class SimComponent {
public:
    virtual ~SimComponent() = default;
    // True when the mail was this component's.
    virtual bool OnMail(VirtualTester&, uint8_t /*cls*/, const uint8_t* /*body*/,
                        uint8_t /*count*/) {
        return false;
    }
    virtual void OnCellWrite(VirtualTester&, uint32_t /*address*/, uint8_t /*value*/) {}
    // Called before each host request with the tester's time.
    virtual void Advance(VirtualTester&, uint64_t /*nowUs*/) {}
    // The host reads this cell next: refresh it if it is computed.
    virtual void OnCellRead(VirtualTester&, uint32_t /*address*/) {}
};

}  // namespace tavrin::sim
