// SPDX-License-Identifier: MIT
// Without a GL context GLSL is unavailable: every operation must fail without touching GL.
#include "glsl.h"
#include "weavingsources.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace shadekit;

class TestShadekitNoGL : public QObject {
    Q_OBJECT
private slots:
    void withoutGLSL();
    void load();
};

void TestShadekitNoGL::withoutGLSL()
{
    const bool supported = HasGLSLSupport();
    glShader program;
    glShaderManager manager;
    const glShader *built = manager.loadfromMemory(weaveVertexSource, weaveFragmentSource);
    QVERIFY(!supported && !useGLSL && !extensions_init && !built && manager.programs().empty());
    // Without GLSL even a disabled program fails, without touching GL.
    program.setEnabled(false);
    QVERIFY(!program.link() && !program.setUniform1f(nullptr, 1.0f, 0) &&
            !program.setVertexAttrib1f(0, 1.0f));
}

void TestShadekitNoGL::load()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("stage.glsl")));
    const QByteArray path = QFile::encodeName(file.fileName());
    aFragmentShader stage;
    stage.loadFromMemory(weaveVertexSource);
    QCOMPARE(stage.load(path), -1);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(stage.load(path), -2);
    // A failed load keeps the source the stage had; the smallest file is read whole.
    QCOMPARE(QByteArray(stage.source()), QByteArray(weaveVertexSource));
    QVERIFY(file.write("x") == 1 && file.flush());
    QCOMPARE(stage.load(path), 0);
    QCOMPARE(QByteArray(stage.source()), QByteArray("x"));
}

QTEST_GUILESS_MAIN(TestShadekitNoGL)
#include "tst_shadekit_nogl.moc"
