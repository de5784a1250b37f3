// SPDX-License-Identifier: MIT
#pragma once

// GLSL 1.10 sources of the colour weaving program. The fragment stage samples the band's
// one-row texture of character colours at a point hashed from the pixel position and the
// texture coordinates, so every pixel shows one present character's colour. The sampler is
// never set and reads texture unit 0.

inline constexpr const char *weaveVertexSource =
    "void main(void) \n"
    "{\n"
    "\tgl_TexCoord[0] = gl_MultiTexCoord0;\n"
    "\tgl_Position = gl_ModelViewProjectionMatrix * gl_Vertex; \n"
    "\tgl_FrontColor = gl_Color;\n"
    "}\n";

inline constexpr const char *weaveFragmentSource =
    "uniform sampler2D textureSampler; \n"
    " \n"
    "float rand(vec2 co){ \n"
    "    return fract(sin(dot(co.xy ,vec2(12.9898,78.233))) * 43758.5453); \n"
    "} \n"
    "void main (void) \n"
    "{ \n"
    "\tvec2 v = vec2(gl_FragCoord.x, gl_FragCoord.y); \n"
    "\tvec2 t = vec2(gl_TexCoord[0]); \n"
    "\tvec2 r = vec2(rand(vec2(v.x, t.y)), rand(vec2(t.x, v.y))); \n"
    "\tvec4 color = texture2D(textureSampler, r);//vec2(gl_TexCoord[0])); \n"
    "\tgl_FragColor = gl_Color*color; \n"
    "} \n";
