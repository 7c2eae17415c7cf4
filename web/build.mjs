// SPDX-License-Identifier: Apache-2.0
// Makes the one-file page: the page's TypeScript bundled by esbuild, the
// simulator's JavaScript (which carries its WebAssembly inside it) and the
// style sheet, all written inline into src/index.html.
// Also writes the page's binding and drawing modules beside WASM_JS as
// NAME.mjs, for the tests that run them under node.
// Usage: node build.mjs WASM_JS OUT_HTML
import { build } from 'esbuild';
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname } from 'node:path';

const [wasmJs, outHtml] = process.argv.slice(2);
if (!wasmJs || !outHtml) {
  console.error('usage: node build.mjs WASM_JS OUT_HTML');
  process.exit(2);
}

// A script's text may not hold "</script" inside an inline <script> element.
const inlineScript = (text) => text.replace(/<\/script/gi, '<\\/script');

const bundle = await build({
  entryPoints: ['src/main.ts'],
  bundle: true,
  format: 'iife',
  target: 'es2020',
  minify: true,
  write: false,
  legalComments: 'none',
});
const app = bundle.outputFiles[0].text;
await build({
  entryPoints: ['src/session.ts', 'src/format.ts', 'src/trend_plot.ts', 'src/painter.ts'],
  bundle: true,
  format: 'esm',
  platform: 'node',
  target: 'es2020',
  outdir: dirname(wasmJs),
  outExtension: { '.js': '.mjs' },
});
const page = readFileSync('src/index.html', 'utf8')
  .replace('/*STYLE*/', () => readFileSync('src/style.css', 'utf8'))
  .replace('/*SIMULATOR*/', () => inlineScript(readFileSync(wasmJs, 'utf8')))
  .replace('/*PAGE*/', () => inlineScript(app));
mkdirSync(dirname(outHtml), { recursive: true });
writeFileSync(outHtml, page);
