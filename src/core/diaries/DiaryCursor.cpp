#include "core/diaries/DiaryCursor.h"

namespace DiaryRules {
int newest(int count) {
    return count > 0 ? count - 1 : -1;
}

int previous(int current, int count) {
    if (current > 0 && current < count)
        return current - 1;
    return current;
}

int next(int current, int count) {
    if (count > 0 && current != count - 1 && current + 1 < count)
        return current + 1;
    return current;
}

int firstEqual(int count, const std::function<QString(int)>& keyAt, const QString& text, int current) {
    for (int i = 0; i < count; ++i)
        if (keyAt(i) == text)
            return i;
    return current;
}
} // namespace DiaryRules

int DiaryCursor::count() const {
    return Entries().count(m_list);
}

std::shared_ptr<DiaryType> DiaryCursor::current() const {
    if (m_index < 0 || m_index >= count())
        return nullptr;
    return Entries().at(m_list, m_index);
}

void DiaryCursor::activate() {
    m_index = DiaryRules::newest(count());
}

bool DiaryCursor::previous() {
    const int before = m_index;
    m_index = DiaryRules::previous(m_index, count());
    return m_index != before;
}

bool DiaryCursor::next() {
    const int before = m_index;
    m_index = DiaryRules::next(m_index, count());
    return m_index != before;
}

bool DiaryCursor::moveTo(int position) {
    if (position < 0 || position >= count())
        return false;
    m_index = position;
    return true;
}

bool DiaryCursor::searchDate(const QString& text) {
    const int found = DiaryRules::firstEqual(
        count(), [this](int i) { return Entries().at(m_list, i)->Date; }, text, -1);
    if (found < 0)
        return false;
    m_index = found;
    return true;
}

bool DiaryCursor::searchTitle(const QString& text) {
    const int found = DiaryRules::firstEqual(
        count(), [this](int i) { return Entries().at(m_list, i)->Title; }, text, -1);
    if (found < 0)
        return false;
    m_index = found;
    return true;
}

void DiaryCursor::append(const std::shared_ptr<DiaryType>& entry) {
    Entries().append(m_list, entry);
    m_index = count() - 1;
}

bool DiaryCursor::replaceCurrent(const std::shared_ptr<DiaryType>& entry) {
    if (m_index < 0 || m_index >= count())
        return false;
    Entries().replaceAt(m_list, m_index, entry);
    return true;
}

bool DiaryCursor::removeCurrent() {
    if (m_index < 0 || m_index >= count())
        return false;
    Entries().removeAt(m_list, m_index);
    m_index = DiaryRules::newest(count());
    return true;
}

QStringList DiaryCursor::dates() const {
    QStringList out;
    const int n = count();
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(Entries().at(m_list, i)->Date);
    return out;
}

QStringList DiaryCursor::titles() const {
    QStringList out;
    const int n = count();
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(Entries().at(m_list, i)->Title);
    return out;
}

int GrowthCursor::count() const {
    return Entries().growthCount();
}

std::shared_ptr<GrowthType> GrowthCursor::current() const {
    if (m_index < 0 || m_index >= count())
        return nullptr;
    return Entries().growthAt(m_index);
}

void GrowthCursor::activate() {
    m_index = DiaryRules::newest(count());
}

bool GrowthCursor::previous() {
    const int before = m_index;
    m_index = DiaryRules::previous(m_index, count());
    return m_index != before;
}

bool GrowthCursor::next() {
    const int before = m_index;
    m_index = DiaryRules::next(m_index, count());
    return m_index != before;
}

bool GrowthCursor::searchDate(const QString& text) {
    const int found = DiaryRules::firstEqual(
        count(), [](int i) { return Entries().growthAt(i)->Date; }, text, -1);
    if (found < 0)
        return false;
    m_index = found;
    return true;
}

void GrowthCursor::append(const std::shared_ptr<GrowthType>& entry) {
    Entries().appendGrowth(entry);
    m_index = count() - 1;
}

bool GrowthCursor::replaceAt(int position, const std::shared_ptr<GrowthType>& entry) {
    if (position < 0 || position >= count())
        return false;
    Entries().replaceGrowthAt(position, entry);
    m_index = position;
    return true;
}

bool GrowthCursor::removeCurrent() {
    if (m_index < 0 || m_index >= count())
        return false;
    Entries().removeGrowthAt(m_index);
    m_index = DiaryRules::newest(count());
    return true;
}

QStringList GrowthCursor::dates() const {
    QStringList out;
    const int n = count();
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(Entries().growthAt(i)->Date);
    return out;
}
