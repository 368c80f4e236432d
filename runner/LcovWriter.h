#ifndef ZENDRA_RUNNER_LCOVWRITER_H
#define ZENDRA_RUNNER_LCOVWRITER_H

#include <QByteArray>
#include <QStringList>

class Profile;

// A profile's coverage as an lcov tracefile, which genhtml renders: for each source file,
// its functions and how many times each was called (FN, FNDA), each conditional branch
// taken or not (BRDA: block, the branch's rank on its line; branch 0 taken, 1 not), and
// each line with code and how many times it ran (DA), with their counts.
class LcovWriter
{
public:
    // files: the paths to name the profile's files by, in its order.
    LcovWriter(const Profile& profile, const QStringList& files);

    QByteArray Write() const;

private:
    void WriteFile(int file, QByteArray& out) const;
    void WriteFunctions(int file, QByteArray& out) const;
    void WriteBranches(int file, QByteArray& out) const;
    void WriteLines(int file, QByteArray& out) const;

    const Profile& profile;
    const QStringList files;
};

#endif
