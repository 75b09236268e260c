// Posting: find the slot, then status, frame and write index go out as one batch of writes,
// so a mail costs three waits for the tester: the index read, the acknowledgements, the
// first status poll.
#include "Mailbox.h"

#include <cstring>

namespace tavrin {

using namespace mailbox;

void Mailbox::SendMail(uint8_t cls, uint8_t primitive) {
    m_trace("Sabrel: Sendmail %02x: %02x  ", cls, primitive);
    const uint8_t body[] = {primitive};
    Post(cls, body, sizeof body);
}

void Mailbox::SendMail(uint8_t cls, uint8_t primitive, uint8_t p1) {
    m_trace("Sabrel: Sendmail %02x: %02x,%02x  ", cls, primitive, p1);
    const uint8_t body[] = {primitive, p1};
    Post(cls, body, sizeof body);
}

void Mailbox::SendMail(uint8_t cls, uint8_t primitive, uint8_t p1, uint8_t p2) {
    m_trace("Sabrel: Sendmail %02x: %02x,%02x,%02x  ", cls, primitive, p1, p2);
    const uint8_t body[] = {primitive, p1, p2};
    Post(cls, body, sizeof body);
}

void Mailbox::SendMail(uint8_t cls, uint8_t primitive, uint8_t p1, uint8_t p2, uint8_t p3) {
    m_trace("Sabrel: Sendmail %02x: %02x,%02x,%02x,%02x  ", cls, primitive, p1, p2, p3);
    const uint8_t body[] = {primitive, p1, p2, p3};
    Post(cls, body, sizeof body);
}

void Mailbox::SendMailBlock(uint8_t cls, const uint8_t* body, uint8_t count) {
    if (count == 0) return;
    m_trace("Sabrel: Sendmail %02x  ", cls);
    Post(cls, body, count);
}

void Mailbox::Post(uint8_t cls, const uint8_t* body, uint8_t count) {
    if (count > kMaxBody) {
        // A longer body would run past its slot into the next one.
        m_trace("Sabrel: mail body of %u bytes refused\n", static_cast<unsigned>(count));
        m_errors.Record(kTargetError);
        return;
    }
    if (!m_usb.IsOpen()) {
        // Nothing can be posted: fail at once instead of waiting out the acceptance time.
        m_trace("Sabrel: no USB link, mail dropped\n");
        m_errors.Record(kTargetError);
        return;
    }
    // The two ring indexes are adjacent cells: one block read gives R and W.
    uint8_t index[2] = {};
    m_usb.TesterReadBlock(kHostRingRead, 2, index);
    if (m_usb.Skipping()) {
        // The tester is lost: there is no slot to fill and nobody to accept the mail.
        m_trace("Sabrel: USB link lost, mail dropped\n");
        m_errors.Record(kTargetError);
        return;
    }
    uint8_t read = index[0];
    const uint8_t write = index[1];
    if (write > 7) {
        // Posting would write outside the ring: drop the mail.
        m_errors.Record(kTargetError);
        return;
    }
    const uint8_t next = static_cast<uint8_t>((write + 1) % kSlots);
    for (int waits = 0; read == next; ++waits) {
        if (waits == 10) {
            // Posting into a full ring would make the tester lose the mails queued in it.
            m_errors.Record(kTargetError);
            return;
        }
        WaitTicks(5);
        read = m_usb.TesterRead(kHostRingRead);
    }

    WriteBatch batch;
    batch.Add(kStatusCell, COMM_PENDING);
    const uint32_t slot = HostSlot(write);
    const uint8_t length = static_cast<uint8_t>(count + 1);
    uint8_t sum = 0;
    auto put = [&](uint32_t offset, uint8_t v) {
        batch.Add(slot + offset, v);
        sum = static_cast<uint8_t>(sum + v);
    };
    put(0, length);
    put(1, cls);
    for (uint8_t i = 0; i < count; ++i) put(2 + i, body[i]);
    batch.Add(slot + length + 1u, sum);
    batch.Add(kHostRingWrite, next);
    m_usb.TesterWriteBatch(batch);

    // The reset mail makes the tester restart without answering; the caller waits ticks.
    const bool isReset = cls == 6 && count == 2 && body[0] == 0x5D && body[1] == 0xFF;
    if (!isReset) WaitCommIdle();
}

void Mailbox::WaitCommIdle() {
    const uint32_t start = m_clock.nowMs();
    for (;;) {
        const uint8_t status = m_usb.TesterRead(kStatusCell);
        if (status == COMM_IDLE) {
            m_trace("Sabrel: COMM_IDLE(%u ms) @ %u\n", m_clock.nowMs() - start, 147u);
            return;
        }
        if (status == COMM_CRC_ERROR) {
            m_trace("Sabrel: COMM_CRC_ERROR @ %u\n", 154u);
            m_errors.Record(kTargetError);
            return;
        }
        // A lost tester ends the wait at once: its reads would only fail until the time-out.
        if (m_clock.nowMs() - start > kMailTimeoutMs || m_usb.Skipping()) {
            m_trace("Sabrel: Timeout @ %u\n", 162u);
            m_errors.Record(kTargetError);
            return;
        }
        // Spaces the polls; the value is not used.
        m_usb.TesterRead(kTickCell);
    }
}

void Mailbox::WaitTicks(uint16_t n) {
    if (n > 0 && !m_usb.IsOpen()) {
        // No tick can be seen without a link: fail at once rather than after 10 s per tick.
        m_errors.Record(kTargetError);
        return;
    }
    for (uint16_t i = 0; i < n; ++i) {
        const uint8_t first = m_usb.TesterRead(kTickCell);
        const uint32_t start = m_clock.nowMs();
        while (m_usb.TesterRead(kTickCell) == first) {
            if (m_usb.Skipping()) {
                // A lost tester shows no tick: the remaining ticks are not waited for.
                m_trace("Sabrel: Timeout @ %u\n", 106u);
                m_errors.Record(kTargetError);
                return;
            }
            if (m_clock.nowMs() - start > kMailTimeoutMs) {
                m_trace("Sabrel: Timeout @ %u\n", 106u);
                m_errors.Record(kTargetError);
                break;
            }
        }
    }
}

int Mailbox::ReceiveMail(uint8_t* buffer32) {
    uint8_t index[2] = {};
    m_usb.TesterReadBlock(kReplyRingRead, 2, index);
    const uint8_t read = index[0];
    const uint8_t write = index[1];
    if (read > 7 || write > 7) {
        // A slot outside the ring holds no mail; the caller's poll goes on.
        m_errors.Record(kTargetError);
        return 0;
    }
    if (read == write) return 0;
    m_usb.TesterReadBlock(ReplySlot(read), kSlotSize, buffer32);
    m_usb.TesterWrite(kReplyRingRead, static_cast<uint8_t>((read + 1) % kSlots));
    return static_cast<int>(kSlotSize);
}

void Mailbox::DropPendingReplies() {
    uint8_t scratch[kSlotSize];
    // At most a ring's worth: a tester that keeps answering cannot hold us here.
    for (uint32_t i = 0; i < kSlots && ReceiveMail(scratch) == static_cast<int>(kSlotSize); ++i) {
    }
}

bool Mailbox::PollEepromAnswer(uint8_t* buffer32) {
    for (int poll = 0; poll < kEepromPolls; ++poll) {
        if (ReceiveMail(buffer32) == static_cast<int>(kSlotSize) && buffer32[0] == kEepromAnswer)
            return true;
        if (m_usb.Skipping()) return false;
        WaitTicks(2);
    }
    return false;
}

bool Mailbox::ReadTesterEeprom(uint16_t address, uint8_t count, uint8_t* data) {
    if (count > kEepromMaxRead) count = kEepromMaxRead;
    const uint8_t request[] = {kEepromRead,
                               0x06,
                               0x00,
                               count,
                               static_cast<uint8_t>(address & 0xFF),
                               static_cast<uint8_t>(address >> 8)};
    SendMailBlock(kEepromClass, request, sizeof request);
    uint8_t answer[kSlotSize] = {};
    if (!PollEepromAnswer(answer)) {
        m_errors.Record(kTimeOutError);
        return false;
    }
    std::memcpy(data, answer + 3, count);
    return true;
}

void Mailbox::WriteTesterEeprom(uint16_t address, uint8_t count, const uint8_t* data) {
    uint8_t request[kMaxBody] = {kEepromWrite,
                                 0x06,
                                 0x00,
                                 count,
                                 static_cast<uint8_t>(address & 0xFF),
                                 static_cast<uint8_t>(address >> 8)};
    if (count > kMaxBody - 6) count = kMaxBody - 6;
    request[3] = count;
    std::memcpy(request + 6, data, count);
    SendMailBlock(kEepromClass, request, static_cast<uint8_t>(6 + count));
}

}  // namespace tavrin
