// web.mjs -- translator's own part of the shared browser and node checks
// (tests/web/registry.mjs reads it).

// The end-to-end case that the tab must refuse, as the console refuses it.
export const refusal = 'refuse_long_sentence';

// worth(text, r, h): an exercise worth doing: the sentence fits its line,
// every replacement fits, and every character ends as a word.
export function worth(text, r, { assert, has, texts }) {
  const lines = text.split('\n');
  assert.ok(lines[lines.length - 1].length <= 38, 'the sentence fits its line');
  lines.slice(1, -1).forEach((l) => assert.ok(l.length - 4 <= 9, 'a replacement of at most 9'));
  assert.ok(r.output.length > 0 && !has(r.output, texts.TEXT_WORD_ERROR), 'every character ends as a word');
}
