#pragma once
// Today's date and time, and setting the computer's date, behind one seam so tests use a fake and
// never touch the machine's clock.

#include <QDateTime>

namespace os {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Tries to set the computer's date; the real clock ignores failure.
    virtual bool setDate(const QDate &date) = 0;
    QDate today() const { return now().date(); }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
    bool setDate(const QDate &date) override;
};

// A clock that says what it is told and records dates it was asked to set.
class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime now = QDateTime(QDate(2026, 1, 15), QTime(14, 37, 52))) : m_now(std::move(now)) {}
    QDateTime now() const override { return m_now; }
    bool setDate(const QDate &date) override
    {
        m_setDates.append(date);
        m_now.setDate(date);
        return true;
    }
    void set(const QDateTime &now) { m_now = now; }
    const QList<QDate> &setDates() const { return m_setDates; }

private:
    QDateTime m_now;
    QList<QDate> m_setDates;
};

// The clock the program uses; tests install a FakeClock. Never null.
Clock &clock();
void setClock(Clock *clock); // nullptr restores the system clock; the caller keeps ownership

} // namespace os
