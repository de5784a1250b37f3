// SPDX-License-Identifier: MIT
// The colour weaving mode: every scene a band woven, pixel by pixel, from the colours of the
// characters present in it. A fragment program picks one texel of a one-row texture of those
// colours at a point hashed from the pixel position.
#include "graphwidget.h"

#include "characterlist.h"
#include "weavingsources.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr float bandHalfWidth = 10.0f;
// The process status when the weaving program cannot be built.
constexpr int shaderFailureStatus = -1;

} // namespace

void GraphWidget::ensureShaderProgram()
{
    if (shaderProgram)
        return;
    if (!shaderManager)
        shaderManager = std::make_unique<shadekit::glShaderManager>();
    shaderProgram = shaderManager->loadfromMemory(weaveVertexSource, weaveFragmentSource);
    if (!shaderProgram) {
        std::puts("shader load error!");
        std::fflush(stdout);
        std::exit(shaderFailureStatus);
    }
    shaderProgram->link();
}

void GraphWidget::drawColorWeaving()
{
    ensureShaderProgram();

    glViewport(0, 0, viewWidth, viewHeight);
    loadTimeAxisProjection();
    glPushMatrix();
    glTranslatef(0.0f, panOffset, 0.0f);
    const float k = zoomScale();
    glScalef(k, k, 1.0f);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);

    shaderProgram->begin();
    if (characterList) {
        const QVector<Character *> &characters = characterList->characters;
        std::vector<float> texels;
        for (const TimeIndex *scene : characterList->timeIndices) {
            texels.clear();
            for (int j = 0; j < characters.size(); ++j) {
                if (j >= scene->counts.size() || scene->counts.at(j) == 0)
                    continue;
                const QColor &color = characters.at(j)->color;
                texels.push_back(float(color.red()) / 255.0f);
                texels.push_back(float(color.green()) / 255.0f);
                texels.push_back(float(color.blue()) / 255.0f);
            }
            const int present = int(texels.size() / 3);
            if (present >= 1) {
                if (weaveTexture == 0)
                    glGenTextures(1, &weaveTexture);
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, weaveTexture);
                glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, present, 1, 0, GL_RGB, GL_FLOAT,
                             texels.data());
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
                glColor3f(1.0f, 1.0f, 1.0f);
            } else {
                // Black multiplies away whatever the program samples from the old texture.
                glColor3f(0.0f, 0.0f, 0.0f);
            }
            const float y1 = (0.5f - scene->start) * timeAxisLength;
            const float y2 = (0.5f - scene->stop) * timeAxisLength;
            glBegin(GL_QUADS);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(-bandHalfWidth, y1, 0.0f);
            glTexCoord2f(1.0f, 0.0f);
            glVertex3f(bandHalfWidth, y1, 0.0f);
            glTexCoord2f(1.0f, 1.0f);
            glVertex3f(bandHalfWidth, y2, 0.0f);
            glTexCoord2f(0.0f, 1.0f);
            glVertex3f(-bandHalfWidth, y2, 0.0f);
            glEnd();
            glDisable(GL_TEXTURE_2D);
        }
    }
    shaderProgram->end();
    glPopMatrix();
    glEnable(GL_LIGHTING);
}
