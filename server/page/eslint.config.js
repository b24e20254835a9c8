// The page's lint: errors fail CI. Text reaches the page only through textContent, so the
// ways of parsing a string as HTML are banned outright (the build checks the same words).
const kBrowser = {
  window: 'readonly', document: 'readonly', localStorage: 'readonly', fetch: 'readonly',
  performance: 'readonly', requestAnimationFrame: 'readonly', cancelAnimationFrame: 'readonly',
  setTimeout: 'readonly', clearTimeout: 'readonly', AbortController: 'readonly',
  ResizeObserver: 'readonly', console: 'readonly',
};
const kHtmlFromStrings = 'Set text with textContent; never build HTML from strings.';

export default [
  { ignores: ['node_modules/'] },
  {
    files: ['**/*.js'],
    languageOptions: { ecmaVersion: 2022, sourceType: 'module', globals: kBrowser },
    rules: {
      'no-unused-vars': 'error',
      'no-undef': 'error',
      'no-eval': 'error',
      'no-implied-eval': 'error',
      'no-new-func': 'error',
      'prefer-const': 'error',
      eqeqeq: 'error',
      'no-restricted-properties': ['error',
        { property: 'innerHTML', message: kHtmlFromStrings },
        { property: 'outerHTML', message: kHtmlFromStrings },
        { property: 'insertAdjacentHTML', message: kHtmlFromStrings },
        { object: 'document', property: 'write', message: kHtmlFromStrings },
        { object: 'document', property: 'writeln', message: kHtmlFromStrings },
      ],
      'no-restricted-syntax': ['error',
        { selector: "MemberExpression[property.value=/^(innerHTML|outerHTML|insertAdjacentHTML)$/]", message: kHtmlFromStrings },
      ],
    },
  },
];
