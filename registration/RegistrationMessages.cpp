#include "registration/RegistrationMessages.h"

#include "platform/Cp932.h"
#include "platform/PathNames.h"

namespace quilvane {
namespace {

// A long list of entries would make the message taller than the screen.
constexpr std::size_t ListedEntries = 20;

std::string Shown(const std::string& stored)
{
    return Cp932ToUtf8(stored);
}

std::string EntryList(const std::vector<std::string>& entries)
{
    std::string text;
    for (std::size_t i = 0; i < entries.size() && i < ListedEntries; ++i) {
        text += "\n" + entries[i];
    }
    if (entries.size() > ListedEntries) {
        text += "\nほか " + std::to_string(entries.size() - ListedEntries) + " 件";
    }
    return text;
}

std::string UndecodableMessage(const RegistrationRequest& request)
{
    std::string label = "データ登録先";
    if (!StoredToDiskPath(request.userName)) {
        label = "氏名";
    } else if (!StoredToDiskPath(request.projectName)) {
        label = "プロジェクト名";
    }
    return label + ": " + UndecodableNameMessage();
}

// A program that others could have put into the class folder would run with the student's
// rights, so it is not run; the teacher is the one to mend it.
std::string DistrustNote(const GeneratorRun& run, const std::string& program)
{
    std::string why;
    switch (run.distrust) {
    case GeneratorDistrust::NotRegularFile:
        why = "が通常のファイルではない";
        break;
    case GeneratorDistrust::Writable:
        why = "を他のユーザーも書き換えられる";
        break;
    case GeneratorDistrust::Owner:
        why = "の持ち主 " + run.ownerName + " が登録先の持ち主でもあなたでもない";
        break;
    case GeneratorDistrust::None:
        break;
    }
    return "進捗表を作るプログラム " + program + " " + why +
           "ため、起動しませんでした。進捗表は更新されていません。先生に連絡して下さい";
}

std::string GeneratorNote(const RegistrationResult& result)
{
    const std::string& folder = result.registrationFolder;
    const std::string program = folder + "/" + GeneratorName;
    switch (result.generator.outcome) {
    case GeneratorOutcome::NotRun:
    case GeneratorOutcome::Finished:
        return {};
    case GeneratorOutcome::Missing:
        return "登録先に進捗表を作るプログラム " + program + " がないため、進捗表は更新されていません";
    case GeneratorOutcome::CouldNotStart:
        return "進捗表を作るプログラム " + program + " を起動できないため、進捗表は更新されていません";
    case GeneratorOutcome::Untrusted:
        return DistrustNote(result.generator, program);
    case GeneratorOutcome::TimedOut:
        return "進捗表を作るプログラムが時間内に終わりませんでした。進捗表はまだ更新されていないかもしれませ"
               "ん";
    case GeneratorOutcome::Failed:
        break;
    }
    if (result.generator.exitCode < 0) {
        return "進捗表を作るプログラムが異常終了したため、進捗表は更新されていません";
    }
    std::string text = "進捗表を作るプログラムが終了コード " + std::to_string(result.generator.exitCode) +
                       " で終わったため、進捗表は更新されていません";
    // The generator's own exit codes.
    if (result.generator.exitCode == 1) {
        text += "\n(登録先フォルダの中を読めません)";
    } else if (result.generator.exitCode == 2) {
        text += "\n(" + folder + "/result.htm に書き込めません)";
    }
    return text;
}

} // namespace

std::string NoRegistrationFolderMessage()
{
    return "データの登録先を設定して下さい";
}

std::string RegistrationStopMessage(const RegistrationResult& result, const RegistrationRequest& request)
{
    switch (result.outcome) {
    case RegistrationOutcome::EmptyUserName:
        return "名前を設定して下さい";
    case RegistrationOutcome::UnsafeUserName:
        return "氏名「" + Shown(request.userName) +
               "」はフォルダ名に使えないため登録できません\n"
               "(「/」「\\」を含む名前と「.」「..」は使えません)";
    case RegistrationOutcome::UnsafeProjectName:
        if (request.projectName.empty()) {
            return "プロジェクト名がないため登録できません";
        }
        return "プロジェクト名「" + Shown(request.projectName) + "」はフォルダ名に使えないため登録できません";
    case RegistrationOutcome::UndecodableName:
        return UndecodableMessage(request);
    case RegistrationOutcome::ProjectMissing:
        return "プロジェクト「" + Shown(request.projectName) + "」はありません";
    case RegistrationOutcome::CannotEnterProject:
        return "ディレクトリを移動できません";
    case RegistrationOutcome::UserNameWithBlank:
        return "氏名に空白を含めることはできません";
    case RegistrationOutcome::UserFolderIsLink:
        return result.userFolder +
               " はフォルダではなくシンボリックリンクのため、登録しませんでした。先生に連絡して下さい";
    case RegistrationOutcome::UserFolderOfAnotherUser:
        return result.userFolder + " はユーザー " + result.userFolderOwner +
               " のフォルダのため、登録できません。先生に連絡して下さい";
    case RegistrationOutcome::OverlapsProject:
        return result.target + "\nはプロジェクトのフォルダと重なるため登録できません";
    case RegistrationOutcome::CannotCreateTarget:
        return result.target + "\nを作成できません";
    case RegistrationOutcome::CopyFailed:
        return "次のファイルをコピーできないため、登録を中止しました。前回の登録はそのまま残っています:" +
               EntryList(result.failures);
    case RegistrationOutcome::CannotReplaceTarget:
        return result.target + "\nを新しいコピーと入れ替えられないため、登録を中止しました。"
                               "前回の登録はそのまま残っています";
    case RegistrationOutcome::NoRegistrationFolder:
    case RegistrationOutcome::Cancelled:
    case RegistrationOutcome::Copied:
        break;
    }
    return {};
}

std::string ResultLineWarning(const ResultLineCheck& check, const RegistrationRequest& request)
{
    std::string text;
    if (check.line.userName != request.userName) {
        text += "result.txt の氏名「" + Shown(check.line.userName) + "」が、登録する氏名「" +
                Shown(request.userName) + "」と違います\n";
    }
    if (check.line.projectName != request.projectName) {
        text += "result.txt のプロジェクト名「" + Shown(check.line.projectName) + "」が、プロジェクト「" +
                Shown(request.projectName) + "」と違います\n";
    }
    return text + "このままでは、進捗表に思ったとおりには載りません";
}

std::string FindingsMessage(std::size_t findings)
{
    return "確認事項が " + std::to_string(findings) + " 件あります";
}

std::vector<std::string> RegistrationNotes(const RegistrationResult& result)
{
    std::vector<std::string> notes;
    if (!result.failures.empty()) {
        notes.push_back("次のファイルはコピーできませんでした:" + EntryList(result.failures));
    }
    switch (result.resultLine.state) {
    case ResultLineState::Missing:
        notes.push_back("プロジェクトに result.txt がないため、進捗表にこのプロジェクトは載りません");
        break;
    case ResultLineState::Malformed:
        notes.push_back("result.txt の1行目が「氏名 プロジェクト名 数値」の形でないため、"
                        "進捗表にこのプロジェクトは載りません");
        break;
    case ResultLineState::Matches:
    case ResultLineState::OtherNames:
        break;
    }
    if (std::string note = GeneratorNote(result); !note.empty()) {
        notes.push_back(note);
    }
    if (!result.generator.notes.empty()) {
        std::string text = result.generator.notes;
        while (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        notes.push_back("進捗表を作るプログラムからの報告:\n" + text);
    }
    return notes;
}

bool GeneratorFailed(const RegistrationResult& result)
{
    return result.generator.outcome != GeneratorOutcome::Finished &&
           result.generator.outcome != GeneratorOutcome::NotRun;
}

std::string CopiedMessage(const RegistrationResult& result)
{
    std::string text = result.target + "\nにコピーしました";
    for (const auto& note : RegistrationNotes(result)) {
        text += "\n\n" + note;
    }
    return text;
}

} // namespace quilvane
