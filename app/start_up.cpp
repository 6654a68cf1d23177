#include "app/start_up.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/package_extract_window.h"
#include "app/start_screen.h"
#include "newproject/new_project_window.h"
#include "packages/sample_content.h"

#include <QBuffer>

void RunFirstShowSteps(AppContext& app, FirstShowFlags& flags)
{
    TForm1* form = app.Form1;
    if (!form) return;
    if (!flags.startScreenShown) {
        flags.startScreenShown = true;
        if (app.fstartscreen) app.fstartscreen->showOver(form);
        const Status st = InstallSampleContent(app.ws(), app.options().resourceRoot,
                                               app.funzipper ? app.funzipper->monitor() : nullptr);
        if (!st) app.message(MessageKind::Error, st.error(), MessageButtons::OK);
    }
    if (form->hasPendingProject()) {
        const QString path = form->pendingProjectPath();
        form->clearPendingProject();
        form->OpenMosaicProject(path);
        flags.initialContentLoaded = true;
    } else if (!flags.initialContentLoaded) {
        flags.initialContentLoaded = true;
        TfnewprojectADV* window = app.fnewprojectADV;
        if (!window) return;
        window->InitNewProjectWindow();
        const QString name = QStringLiteral("pngimage_%1").arg(1 + app.ws().random().Random(3));
        QByteArray bytes = ReadEmbeddedContent(app.options().resourceRoot, name);
        QBuffer stream(&bytes);
        stream.open(QIODevice::ReadOnly);
        window->LoadMainImageFromStream(stream, name);
    }
}
