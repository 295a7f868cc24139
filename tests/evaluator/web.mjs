// web.mjs -- evaluator's own part of the shared browser and node checks
// (tests/web/registry.mjs reads it).

// The end-to-end case that the tab must refuse, as the console refuses it.
export const refusal = 'line_of_50_refused';

// edition(tab, c, h): after the main example c is shown, its trace table
// has a row per line of result.txt.
export async function edition(tab, c, { assert, gbk }) {
  const rows = await tab.locator('table.trace tr').count();
  assert.equal(rows, gbk(c.expect['result.txt']).split('\n').filter(Boolean).length);
}

// worth(text, r, h): an exercise worth doing: brackets and mixed precedence
// in at most 49 characters, and no error row.
export function worth(text, r, { assert, has, texts }) {
  const expr = text.trim();
  assert.ok(expr.length <= 49, 'at most 49 characters');
  assert.match(expr, /\(/);
  assert.match(expr, /[*/]/);
  assert.match(expr, /[+-]/);
  assert.ok(!has(r.output, texts.TEXT_SYNTAX_ERROR) &&
            !r.output.toString('latin1').endsWith(texts.TEXT_DIVIDE_ERROR), 'no error row');
}
